Add the selected pictures to the slideshow with the ">" button. You can also drag pictures with the mouse from the source folder into the slideshow.
