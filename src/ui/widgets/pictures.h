// The program's small pictures, drawn in code: the category icons of the descriptions list,
// the three risk alert pictures, the unknown-file mark and the category pictures of the
// details dialog, and the window icon.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace mtl::ui::pictures {

// Index 0..7 of the descriptions list's image list: blank page, recycle bin, globe, golden
// package, red circle with a white cross, clipboard, speech bubble with "i", registry blocks.
// Any other index (the list's -1 included) has no icon: a null pixmap.
QPixmap categoryIcon(int index, int size = 16);

QPixmap alertLow(int size = 24);      // green tick
QPixmap alertMedium(int size = 24);   // yellow exclamation mark
QPixmap alertHigh(int size = 24);     // red cross
QPixmap alertUnknown(int size = 24);  // blue question mark

// Category pictures of the details dialog, codes 1..9: green globe, waste basket, clipboard
// with a checklist, doctor with a syringe, registry blocks, cardboard box, document with a
// speech bubble, window with a clock, media player. Any other code gives a null pixmap.
QPixmap detailsCategory(int code, int size = 48);

QIcon applicationIcon();
QPixmap logo(int width, int height);  // the banner across the top of the info tab

} // namespace mtl::ui::pictures
