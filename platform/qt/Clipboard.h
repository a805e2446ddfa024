#pragma once
// Images on the clipboard. Other programs are offered a Windows bitmap file ("image/bmp"),
// whose rows are the bitmap's own rows in the other order, and a PNG stored without
// compression ("image/png"); neither is made until a program asks for it. A QImage handed
// to QClipboard::setImage is instead turned into compressed PNG when another program
// pastes it, which for a selection of tens of megapixels freezes the program for seconds.
#include <QByteArray>
#include <QMimeData>
#include <memory>

#include "platform/Bitmap.h"

namespace vandrel {

class BitmapMimeData : public QMimeData {
  Q_OBJECT
 public:
  explicit BitmapMimeData(Bitmap bitmap);

  const Bitmap& bitmap() const { return *bitmap_; }
  QStringList formats() const override;
  bool hasFormat(const QString& mimeType) const override;

  // The bytes of one of the offered formats, made at each call.
  static QByteArray Encode(const Bitmap& bitmap, const QString& mimeType);

 protected:
  // "image/bmp" and "image/png" as bytes; this program's own QClipboard::image() gets a
  // QImage copy of the pixels.
  QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

 private:
  std::shared_ptr<const Bitmap> bitmap_;
};

// Puts the bitmap on the clipboard, replacing what was there.
void CopyToClipboard(Bitmap bitmap);

}  // namespace vandrel
