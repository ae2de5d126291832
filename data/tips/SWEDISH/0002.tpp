Klicka på "Välj bilder" och välj en bild: alla bilder i dess mapp visas då som små miniatyrer i listan över källmappen.
