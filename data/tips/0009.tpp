Unterlegen Sie Ihre Diashow mit Musik: Fügen Sie MP3- oder WAV-Titel hinzu oder übernehmen Sie Titel direkt von einer Audio-CD.
