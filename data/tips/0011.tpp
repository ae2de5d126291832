Aus einer Diashow wird auf Wunsch eine Video-CD oder Super-Video-CD für Ihren DVD-Spieler, eine Web-Galerie oder ein Bildschirmschoner.
