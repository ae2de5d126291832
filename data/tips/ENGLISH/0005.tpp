Every picture of the slideshow can have its own text. Select the picture and type the text into the "Picture text" field; the show displays it below the picture.
