// The cost of showing a finished frame in the window, by the scaling rules of the court window:
// at the original size, at exactly twice it, and full screen on a full HD display. Each frame is
// measured twice: one in which the whole picture changed, and a busy frame of play, in which
// only where the players, the ball and the score lines were drawn changed.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <cstdlib>

#include "desktop/presentation.h"

namespace tandemhoop::bench {
namespace {

QImage Picture() {
  QImage picture(727, 542, QImage::Format_RGB32);
  for (int y = 0; y < picture.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < picture.width(); ++x)
      row[x] = qRgb(x * 7 % 256, y * 13 % 256, (x ^ y) % 256);
  }
  return picture;
}

// Where a busy frame draws over the court: two players, the ball, the net, the three lines.
QRegion BusyFrame() {
  QRegion region;
  region += QRect(0, 0, 330, 66);
  region += QRect(250, 280, 110, 160);
  region += QRect(300, 380, 110, 160);
  region += QRect(330, 420, 30, 30);
  region += QRect(385, 50, 60, 60);
  return region;
}

void Present(benchmark::State& state, QSize area, bool wholeFrame) {
  const QImage picture = Picture();
  QImage window(area, QImage::Format_RGB32);
  Presenter presenter;
  const QRegion changed = wholeFrame ? QRegion(picture.rect()) : BusyFrame();
  {
    QPainter painter(&window);
    presenter.Present(painter, picture, area, QRegion(window.rect()));
  }
  for (auto _ : state) {
    QRegion dirty;
    for (const QRect& part : changed)
      dirty += Presenter::DeviceAreaOf(part, picture.size(), area, presenter.scaling());
    QPainter painter(&window);
    presenter.Present(painter, picture, area, dirty);
    benchmark::DoNotOptimize(window.constBits());
  }
  const Fit fit = FitPicture(picture.size(), area, presenter.scaling());
  state.SetLabel(QStringLiteral("%1 x %2, %3")
                     .arg(fit.target.width())
                     .arg(fit.target.height())
                     .arg(fit.exact ? QStringLiteral("exact") : QStringLiteral("smooth step"))
                     .toStdString());
}

void WholeFrameAtOriginalSize(benchmark::State& state) {
  Present(state, {727, 542}, true);
}
void WholeFrameAtTwice(benchmark::State& state) {
  Present(state, {1454, 1084}, true);
}
void WholeFrameFullHd(benchmark::State& state) {
  Present(state, {1920, 1080}, true);
}
void BusyFrameAtOriginalSize(benchmark::State& state) {
  Present(state, {727, 542}, false);
}
void BusyFrameAtTwice(benchmark::State& state) {
  Present(state, {1454, 1084}, false);
}
void BusyFrameFullHd(benchmark::State& state) {
  Present(state, {1920, 1080}, false);
}
BENCHMARK(WholeFrameAtOriginalSize);
BENCHMARK(WholeFrameAtTwice);
BENCHMARK(WholeFrameFullHd);
BENCHMARK(BusyFrameAtOriginalSize);
BENCHMARK(BusyFrameAtTwice);
BENCHMARK(BusyFrameFullHd);

}  // namespace
}  // namespace tandemhoop::bench

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
