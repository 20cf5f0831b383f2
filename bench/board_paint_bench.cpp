// Board painting speed on the offscreen platform: a full repaint of the
// board view (the frame's OnPaint over the whole client) at each board size,
// and the redraw of one square (its piece of board, then the piece).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "app/board_view.h"
#include "app/chess_app.h"
#include "app/main_frame.h"
#include "bench/bench_program.h"
#include "platform/settings_store.h"
#include "tests/support/offscreen_app.h"

namespace {

CMainFrame* Frame() { return StartBenchProgram(); }

void UseSizeIndex(CMainFrame* frame, int index) {
  if (frame->boardSizeIndex == index && frame->boardBitmap != nullptr) return;
  frame->boardSizeIndex = index;
  frame->Relayout(1);
}

void BM_FullRepaint(benchmark::State& state) {
  CMainFrame* frame = Frame();
  UseSizeIndex(frame, static_cast<int>(state.range(0)));
  QImage& surface = frame->BoardView()->Surface();
  const CRect client{0, 0, surface.width(), surface.height()};
  for (auto _ : state) {
    frame->OnPaint(client);
    benchmark::DoNotOptimize(surface.constBits());
  }
  state.SetLabel(std::to_string(frame->squareSize) + " px squares");
}
BENCHMARK(BM_FullRepaint)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The red king's square: its piece of board copied back, then the king.
void BM_SquareRedraw(benchmark::State& state) {
  CMainFrame* frame = Frame();
  UseSizeIndex(frame, static_cast<int>(state.range(0)));
  CDC client = frame->BoardView()->GetClientDC();
  const int s = frame->squareSize, band = toolbarBandHeight;
  int x, y;
  frame->SquareToPixel(4, 0, x, y);
  for (auto _ : state) {
    frame->boardBitmap->Draw(client, x, y + band, x, y, x + s, y + s);
    frame->DrawPieceAt(client, 1, 4, 0, 1, nullptr);
    benchmark::DoNotOptimize(client.GetSurface());
  }
}
BENCHMARK(BM_SquareRedraw)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
