Varje bild i bildspelet kan få en egen text. Markera bilden och skriv texten i fältet "Bildtext"; den visas under bilden när bildspelet körs.
