Set the display time in the slideshow settings. Values such as 2.5 seconds are allowed too.
