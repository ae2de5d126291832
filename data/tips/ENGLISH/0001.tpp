Make a new slideshow with "New slideshow". Give it a title; that is how you find it again in the archive.
