#include "GuiTestSupport.h"

#include "gui/imageview/ImageView.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace korvex {
namespace {

std::unique_ptr<Bitmap> plainPicture(int wide, int high, QColor c)
{
    auto bitmap = Bitmap::createRGBCanvas(wide, high);
    for (int y = 0; y < high; ++y) {
        std::uint8_t* row = bitmap->bitmapData() + std::size_t(y) * bitmap->bytesPerRow();
        for (int x = 0; x < wide; ++x) {
            row[3 * x] = std::uint8_t(c.red());
            row[3 * x + 1] = std::uint8_t(c.green());
            row[3 * x + 2] = std::uint8_t(c.blue());
        }
    }
    return bitmap;
}

void letterWithInchMargins(QPrinter& printer)
{
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(36, 36, 36, 36), QPageLayout::Point);
}

TEST(ImageViewPrintTest, OnePagePrintableArea)
{
    int first = 0, last = 0;
    EXPECT_TRUE(ImageView::knowsPageRange(first, last));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 1);

    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    letterWithInchMargins(printer);
    EXPECT_EQ(ImageView::rectForPage(1, printer), QRectF(0, 0, 540, 720));
    EXPECT_EQ(ImageView::rectForPage(3, printer, 0.5f), QRectF(0, 0, 1080, 1440));
}

TEST(ImageViewPrintTest, PictureFittedCentredWithoutPinMark)
{
    ImageView view;
    view.setType(LeftRole);
    const QColor red(200, 30, 30);
    view.setImage(plainPicture(300, 200, red));
    view.setPinPoint({150, 100});

    QImage page(540, 720, QImage::Format_RGB32);
    page.fill(Qt::blue);
    QPainter painter(&page);
    EXPECT_EQ(view.print(painter, QRectF(0, 0, 540, 720)), QRectF(120, 260, 300, 200));
    painter.end();
    EXPECT_EQ(page.pixelColor(10, 10), QColor(Qt::white));
    EXPECT_EQ(page.pixelColor(121, 261), red);
    EXPECT_EQ(page.pixelColor(270, 360), red);  // where the pin would be
    EXPECT_EQ(page.pixelColor(419, 459), red);
    EXPECT_EQ(page.pixelColor(421, 461), QColor(Qt::white));

    // A large picture is shrunk; an empty view prints a blank page.
    view.setImage(plainPicture(4000, 2000, red));
    QPainter again(&page);
    EXPECT_EQ(view.print(again, QRectF(0, 0, 540, 720)), QRectF(0, 225, 540, 270));
    EXPECT_EQ(page.pixelColor(270, 224), QColor(Qt::white));
    EXPECT_EQ(page.pixelColor(270, 300), red);
    view.imageAndDetach();
    EXPECT_TRUE(view.print(again, QRectF(0, 0, 540, 720)).isEmpty());
    again.end();
    EXPECT_EQ(page.pixelColor(270, 300), QColor(Qt::white));
}

TEST(ImageViewPrintTest, PrintsToPdf)
{
    ImageView view;
    view.setType(RightRole);
    view.setImage(plainPicture(4000, 2000, QColor(10, 120, 10)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.pdf"));
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    letterWithInchMargins(printer);
    EXPECT_EQ(view.printTo(printer), QRectF(0, 225, 540, 270));

    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("/MediaBox \\[0 0 612(\\.0+)? 792(\\.0+)?\\]"))
                    .match(QString::fromLatin1(bytes))
                    .hasMatch());
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 1);

    printer.setOutputFileName(dir.filePath(QStringLiteral("half.pdf")));
    EXPECT_EQ(view.printTo(printer, 0.5f), QRectF(0, 450, 1080, 540));
}

}  // namespace
}  // namespace korvex
