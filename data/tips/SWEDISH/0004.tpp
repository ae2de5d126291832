Ändra bildernas ordning genom att dra en bild i bildspelets lista till dess nya plats med musknappen nedtryckt.
