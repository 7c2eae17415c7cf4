// SPDX-License-Identifier: Apache-2.0
// Decoding of JPEG pictures with libjpeg. Used for the pictures embedded in
// the program (the main window's logo, the about window's picture).
#ifndef TOLVANE_JPEG_IMAGE_H
#define TOLVANE_JPEG_IMAGE_H

#include <QByteArray>
#include <QImage>

// Decodes JPEG bytes into an RGB888 image. Returns a null QImage when the bytes
// are empty, not a JPEG, or damaged so badly that libjpeg gives up; never
// writes to stderr and never ends the process. A truncated stream that libjpeg
// can still finish (it pads the missing rows) also counts as a failure.
QImage decode_jpeg(const QByteArray& bytes);

#endif
