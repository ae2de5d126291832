Lägg musik till bildspelet: lägg till MP3- eller WAV-spår eller hämta spår direkt från en ljud-cd.
