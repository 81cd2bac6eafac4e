#pragma once

#include <stddef.h>

// The picture plug-in's entry point, in C so that nothing but plain values crosses the line
// between the program and the library it opens. Each made file is handed over through `put`
// while the call runs; on failure only one file named "error" is put, its bytes the German
// message. Every function returns 0 on success.
extern "C" {

typedef void (*TervandoPutFile)(void* context, const char* name, const char* bytes, size_t size);

struct TervandoPictureApi {
  int version;
  // The icon file of the picture at `path`: puts "favicon.ico", then "picture" (the file as read).
  int (*iconFromImageFile)(const char* path, TervandoPutFile put, void* context);
  // The modern set for the web root from the icon in use (its file, and the user's own picture
  // it was made from, if any): puts the set's files, favicon.ico first.
  int (*modernSet)(const char* icon, size_t iconSize, const char* picture, size_t pictureSize,
                   const char* pictureName, const char* webRoot, TervandoPutFile put,
                   void* context);
};

// Raised whenever the structure above changes.
#define TERVANDO_PICTURE_API_VERSION 1
#define TERVANDO_PICTURE_API_SYMBOL "tervando_picture_api"

const struct TervandoPictureApi* tervando_picture_api(void);
}
