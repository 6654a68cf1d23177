// Pictures from the fuzzer's bytes through the one picture reader, in full and decoded
// for a small drawing size; then the measurement and resampling a loaded tile photo
// goes through.

#include "fuzz/fuzz_support.h"
#include "imaging/bitmap_ops.h"
#include "imaging/color_measure.h"
#include "imaging/picture_io.h"

namespace {

void usePicture(const QImage& image)
{
    FuzzCheck(!image.isNull(), "a loaded picture has pixels");
    FuzzCheck(std::int64_t(image.width()) * image.height() <= kMaxPicturePixels, "a loaded picture keeps the limit");
    FuzzCheck(image.format() == QImage::Format_ARGB32_Premultiplied, "a loaded picture is premultiplied ARGB");
    if (std::int64_t(image.width()) * image.height() > 4'000'000) return; // the decode was the point
    TimgColorInfo info;
    GetImgColorInfo8(info, image, TRectF{0, 0, float(image.width()), float(image.height())});
    (void)ResizeFill(image, 12, 9);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    InitFuzzEnvironment(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    const QString name = QStringLiteral("fuzz.jpg");
    for (const QSize minSize : {QSize(), QSize(16, 12)}) {
        const Result<QImage> picture = LoadPictureFromBytes(bytes, name, PictureLoadOptions{minSize});
        if (picture)
            usePicture(*picture);
        else
            FuzzCheckRefusal(picture.error(), name);
    }
    return 0;
}
