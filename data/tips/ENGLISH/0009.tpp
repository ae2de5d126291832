Give your slideshow music: add MP3 or WAV titles, or take titles straight from an audio CD.
