Die Reihenfolge der Bilder ändern Sie, indem Sie ein Bild in der Liste der Diashow mit gedrückter Maustaste an seinen neuen Platz ziehen.
