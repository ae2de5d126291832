Klicken Sie auf "Auswahl Bilder" und wählen Sie ein Bild aus: Alle Bilder seines Ordners erscheinen dann als kleine Vorschaubilder in der Liste des Quellordners.
