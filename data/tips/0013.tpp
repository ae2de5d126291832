In der Bildbearbeitung entfernen Sie rote Augen: Markieren Sie die Augen mit der Maus und wenden Sie die Rote-Augen-Korrektur an.
