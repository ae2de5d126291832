Click "Choose pictures" and pick one picture: every picture of its folder then appears as a small thumbnail in the list of the source folder.
