Change the pictures yourself during the show by choosing "Change pictures with the arrow keys". Space pauses the show, Esc ends it.
