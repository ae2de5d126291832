Bildredigeringen tar bort röda ögon: markera ögonen med musen och använd korrigeringen av röda ögon.
