The picture editor removes red eyes: mark the eyes with the mouse and apply the red-eye correction.
