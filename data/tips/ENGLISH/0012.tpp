Before you send pictures to a photo lab, crop them in the picture editor to the side ratio of the photo paper, so that nothing important is missing from the print.
