Ett bildspel kan också bli en video-cd eller super-video-cd för din dvd-spelare, ett webbgalleri eller en skärmsläckare.
