#include "platform/qt/Clipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageWriter>

#include "platform/Bmp.h"
#include "platform/qt/BitmapView.h"

namespace vandrel {

namespace {
const QString kBmp = QStringLiteral("image/bmp");
const QString kPng = QStringLiteral("image/png");
const QString kQtImage = QStringLiteral("application/x-qt-image");
}  // namespace

BitmapMimeData::BitmapMimeData(Bitmap bitmap)
    : bitmap_(std::make_shared<const Bitmap>(std::move(bitmap))) {}

// The bitmap first: programs that take the first format they know get the one that costs
// nothing to make.
QStringList BitmapMimeData::formats() const { return {kBmp, kPng}; }

bool BitmapMimeData::hasFormat(const QString& mimeType) const {
  return mimeType == kBmp || mimeType == kPng || mimeType == kQtImage;
}

QByteArray BitmapMimeData::Encode(const Bitmap& bitmap, const QString& mimeType) {
  if (bitmap.empty()) return {};
  if (mimeType == kBmp) {
    const std::vector<uint8_t> bytes = EncodeBmp(bitmap);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
  }
  if (mimeType == kPng) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(100);  // stored, not deflated: paste speed matters, not size
    if (!writer.write(BitmapView(bitmap))) return {};
    return out;
  }
  return {};
}

QVariant BitmapMimeData::retrieveData(const QString& mimeType, QMetaType type) const {
  if (mimeType == kQtImage || (type.id() == QMetaType::QImage && hasFormat(mimeType)))
    return BitmapView(*bitmap_).copy();
  const QByteArray bytes = Encode(*bitmap_, mimeType);
  return bytes.isEmpty() ? QVariant() : QVariant(bytes);
}

void CopyToClipboard(Bitmap bitmap) {
  if (QClipboard* clipboard = QGuiApplication::clipboard())
    clipboard->setMimeData(new BitmapMimeData(std::move(bitmap)));
}

}  // namespace vandrel
