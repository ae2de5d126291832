To change the order of the pictures, drag a picture in the slideshow list to its new place while holding the mouse button down.
