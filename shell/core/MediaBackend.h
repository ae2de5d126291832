#pragma once
// The backend of Qt Multimedia for both programs.

// Makes Qt Multimedia use its ffmpeg backend, whatever QT_MEDIA_BACKEND says: it plays MP3 and
// WAV without further plugins, while Qt 6.4's GStreamer backend (Debian's default) needs
// GStreamer plugins that are not installed and crashes without them. Called before the first
// use of Qt Multimedia (in main, before the application object).
void UseFfmpegMediaBackend();
