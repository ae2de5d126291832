A slideshow can also become a video CD or Super Video CD for your DVD player, a web gallery or a screensaver.
