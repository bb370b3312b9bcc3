// How long a picture takes to parse, and to draw at 1x and 2x device pixel
// ratio. The lab parses each charge picture once and draws it on every
// paint, so the render time is what decides whether resizing stays smooth
// (aim: well under a 16 ms frame at 2x for a charge picture).
#include "metafilebuilder.h"
#include "wmfpicture.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cmath>

namespace {

// The size of the lab's picture box, in device-independent pixels.
constexpr int boxWidth = 240;
constexpr int boxHeight = 360;

// A charge-like drawing: a vessel outline and a few hundred crystal
// polygons with their own pens and brushes, plus a caption.
QByteArray builtDrawing()
{
    MetafileBuilder builder(MetafileBuilder::Header::Placeable, QRect(0, 0, 2400, 3600), 1440);
    builder.setObjectCount(4).setWindow(0, 0, 2400, 3600);
    builder.createPen(0, 12, QColor(60, 60, 60)).selectObject(0).createBrush(0, QColor(220, 235, 245)).selectObject(1);
    builder.record(0x061C, {200, 200, 3400, 2200, 200, 200}); // the vessel
    for (int crystal = 0; crystal < 400; ++crystal) {
        const double angle = crystal * 0.7;
        const int x = 300 + (crystal * 137) % 1800;
        const int y = 300 + (crystal * 251) % 3000;
        const int dx = int(60 * std::cos(angle));
        const int dy = int(60 * std::sin(angle));
        builder.createBrush(0, QColor(200, 120 + crystal % 60, 40)).selectObject(2);
        builder.polygon({{x - dx, y - dy}, {x + dy / 3, y - dx / 3}, {x + dx, y + dy}, {x - dy / 3, y + dx / 3}});
        builder.selectObject(1).deleteObject(2);
    }
    builder.createFont(-160, "DejaVu Sans").selectObject(2).textOut({300, 3420}, "Olivine basalt");
    return builder.bytes();
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void parse(benchmark::State &state, const QByteArray &bytes)
{
    for (auto _ : state) {
        wmf::ReadResult result = wmf::Picture::read(bytes);
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(qint64(state.iterations()) * bytes.size());
}

void render(benchmark::State &state, const QByteArray &bytes, qreal devicePixelRatio)
{
    const wmf::ReadResult result = wmf::Picture::read(bytes);
    if (!result.isValid()) {
        state.SkipWithError(qPrintable(result.error));
        return;
    }
    QImage image(QSize(boxWidth, boxHeight) * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        result.picture->render(painter, QRectF(0, 0, boxWidth, boxHeight));
    }
}

void parseAndRender(benchmark::State &state, const QByteArray &bytes, qreal devicePixelRatio)
{
    QImage image(QSize(boxWidth, boxHeight) * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    for (auto _ : state) {
        const wmf::ReadResult result = wmf::Picture::read(bytes);
        image.fill(Qt::white);
        QPainter painter(&image);
        if (result.isValid())
            result.picture->render(painter, QRectF(0, 0, boxWidth, boxHeight));
    }
}

void registerPicture(const std::string &name, const QByteArray &bytes)
{
    benchmark::RegisterBenchmark(("parse/" + name).c_str(), parse, bytes);
    benchmark::RegisterBenchmark(("render_1x/" + name).c_str(), render, bytes, 1.0)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("render_2x/" + name).c_str(), render, bytes, 2.0)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("parse_and_render_1x/" + name).c_str(), parseAndRender, bytes, 1.0)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("parse_and_render_2x/" + name).c_str(), parseAndRender, bytes, 2.0)->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv); // text needs the font database
    registerPicture("built_drawing", builtDrawing());
    const QByteArray charge = fileBytes(QStringLiteral(LAB_SOURCE_DIR "/pictures/Chbi.wmf"));
    if (!charge.isEmpty())
        registerPicture("Chbi", charge);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
