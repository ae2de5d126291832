Jedes Bild der Diashow kann einen eigenen Text bekommen. Markieren Sie das Bild und schreiben Sie den Text in das Feld "Bildtext"; er wird während der Diashow unter dem Bild gezeigt.
