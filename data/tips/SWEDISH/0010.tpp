Byt bild själv under visningen genom att välja "Byt bild med piltangenterna". Mellanslag pausar bildspelet och Esc avslutar det.
