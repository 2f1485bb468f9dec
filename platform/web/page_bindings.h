// The functions of library.js, as the C++ side of the web platform layer calls them.
#pragma once

#include <cstdint>

// What hopla_storage_write reports.
enum StorageWrite { storageWritten = 0, storageRefused = 1, storageFull = 2 };

extern "C" {
// Puts the part x, y, w, h of a width x height RGBA picture on the canvas; the canvas keeps the
// rest as last put.
void hopla_present(const std::uint8_t* rgba, int width, int height, int x, int y, int w, int h);
void hopla_canvas_point(long clientX, long clientY, int* out);
double hopla_canvas_css_scale();
void hopla_listen_context_menu(void (*callback)(void* data, int clientX, int clientY), void* data);
void hopla_set_cursor_visible(int visible);
int hopla_audio_open();
int hopla_audio_load(int entry, const std::uint8_t* samples, std::uint32_t bytes, int rate,
                     int channels, int bits);
int hopla_audio_stop(int entry);
int hopla_audio_play(int entry);
char* hopla_storage_read(const char* key, int* refused);
int hopla_storage_write(const char* key, const char* text);
void hopla_storage_said(const char* line);
void hopla_storage_on_change(const char* key, void (*callback)(void* data), void* data);
void hopla_page_message(const char* caption, const char* text);
void hopla_page_on_hide(void (*callback)());
void hopla_page_ended(void (*callback)());
void hopla_page_started();
}
