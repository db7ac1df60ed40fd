// The work window: the view below the pattern list that draws, to scale, the
// pieces the user has placed in the work area (the style's second ring of
// pieces), on a light-grey background, and frames the current piece. It holds
// the view origin and scale that the rulers, the readers and the piece
// operations read, and carries the view commands: zoom in and out, show all,
// remove one piece.
//
// Coordinates: a work-area piece keeps its model box, its placed rectangle
// in the work area and its own origin; a model point m of a piece shows at
// pixel (m - piece origin) / scale, rounded half away from zero, y downwards.
// After SyncWorkPieceOrigins a work-area point w shows at
// (w - view origin) / scale, the frame the rulers count in.
//
// The picture lives on a canvas (QImage) that OnDraw renders and that GetDC
// hands out for drawing at any time (the XOR frame of the current piece, a
// piece placed at once). A redraw does not render at once: it marks the
// canvas stale, as an invalidated window is, and one render serves any
// number of redraws. The first redraw after a quiet spell (as long as the
// last render took, kRenderSettleMs at least) is painted at the next turn of
// the event loop; redraws that follow a render closely are served when the
// view has stayed unchanged for that long (then the window repaints), or
// earlier when the picture is needed (a paint event, canvas(), a resize). Drawing through GetDC on a stale canvas is superseded by that
// render, as drawing into an invalidated region is by the next paint (GetDC
// then draws nothing). So picking a long run of pieces renders the view
// once, not once per pick. There is one work window; it registers itself as
// g_pWorkWindow while it exists.
#pragma once

#include <memory>
#include <vector>

#include <QElapsedTimer>
#include <QImage>
#include <QWidget>

#include "app/placement.h"
#include "model/shell_services.h"
#include "platform/geometry_types.h"
#include "platform/win_types.h"

class CDC;
class CPieceRecord;
class CRulerBar;
class QTimer;

// The scroll bars of the work window, by their usual names.
inline constexpr int SB_HORZ = 0;
inline constexpr int SB_VERT = 1;
// Scroll codes.
inline constexpr int SB_LINELEFT = 0;
inline constexpr int SB_LINEUP = 0;
inline constexpr int SB_LINERIGHT = 1;
inline constexpr int SB_LINEDOWN = 1;
inline constexpr int SB_PAGELEFT = 2;
inline constexpr int SB_PAGEUP = 2;
inline constexpr int SB_PAGERIGHT = 3;
inline constexpr int SB_PAGEDOWN = 3;
inline constexpr int SB_THUMBPOSITION = 4;
inline constexpr int SB_THUMBTRACK = 5;

// The work window's background.
inline constexpr COLORREF kWorkAreaBackground = 0xC0C0C0;
// How long the view must stay unchanged before a pending render is served:
// as long as the last render took, within these bounds.
inline constexpr int kRenderSettleMs = 20;
inline constexpr int kMaxRenderSettleMs = 2000;

class CWorkWindow : public QWidget, public IWorkWindow {
 public:
  explicit CWorkWindow(QWidget* parent = nullptr);
  ~CWorkWindow() override;

  // The rulers refreshed with the view (the child frame's); may be null.
  void SetRulers(CRulerBar* top, CRulerBar* left);

  // --- view state -------------------------------------------------------
  int32_t GetOriginX() const override { return origin_x_; }
  int32_t GetOriginY() const override { return origin_y_; }
  double GetScale() const override { return scale_; }
  // Each stores the value only when it differs, then redraws the scales of
  // both rulers.
  void SetOriginX(int32_t x) override;
  void SetOriginY(int32_t y) override;
  void SetScale(double scale) override;

  // --- drawing ----------------------------------------------------------
  // Renders the view on `dc`: the background over the whole client area,
  // every work-area piece from the ring's head at the view scale and the
  // piece's own origin, then the current piece's frame while marking is on.
  // The device context's state is left as it was.
  void OnDraw(CDC* dc);
  // Repaints both rulers and the whole view.
  void Redraw() override;
  void Redraw(BOOL erase);
  // Repaints the view for a changed pixel rectangle (the rectangle grown 10
  // pixels left and 5 up) and both rulers.
  void InvalidateViewRect(const CRect& rect, BOOL erase);
  // Repaints the view for a changed model rectangle, and for the union of two.
  void InvalidateModelRect(int x1, int y1, int x2, int y2, double scale, int originX, int originY);
  void InvalidateModelRects(const CRect& a, const CRect& b, double scale, int originX, int originY);
  // Whether OnDraw frames the current piece (on from the start).
  void SetMarking(BOOL on) { marking_ = on; }
  BOOL GetMarking() const { return marking_; }

  void GetClientRect(CRect* rect) const override;
  // A device context on the view's canvas; give it back with ReleaseDC, which
  // shows what was drawn.
  CDC* GetDC() override;
  void ReleaseDC(CDC* dc) override;
  // The canvas, rendered first when a render is pending.
  const QImage& canvas() const;
  // Whether a redraw is waiting to be rendered.
  bool RenderPending() const { return render_pending_; }

  // --- work area --------------------------------------------------------
  // Gives a piece entering the work area its placed rectangle (free-rectangle
  // placement, app/placement.h); the caller adds it to the work area after.
  void PlacePiece(CPieceRecord* piece) override;
  // Scales and centres the view on the work-area extent, 10 pixels spare on
  // every side; redraws the rulers' scales when scale or origin changed.
  void ZoomToFit() override;
  // Extent := the union of the work-area pieces' placed rectangles.
  void RecalcExtent();

  // --- view commands ----------------------------------------------------
  // Zooms in by 8/7 about the mouse position in the current piece; nothing
  // without a current piece, and the old scale stays when the pieces would
  // leave the range the device can draw.
  void OnZoomIn();
  // Widens the visible area by 20 pixels' worth on every side, keeping its
  // centre; nothing with an empty work area.
  void OnZoomOut();
  // Hides the scroll bars and fits the view to the work area.
  void OnShowAll();
  // Takes the current piece out of the work area; its successor (if any)
  // becomes current.
  void OnRemovePiece();
  // Zoom in and out are always enabled; show all and remove one piece while
  // the work area holds a piece.
  static bool CanZoom() { return true; }
  static bool CanShowAll();
  static bool CanRemovePiece();

  // --- scrolling --------------------------------------------------------
  // Scroll ranges and positions of the two bars (SB_HORZ, SB_VERT). A range
  // of 0..0 hides the bar.
  void SetScrollRange(int bar, int minPos, int maxPos, BOOL redraw = TRUE);
  void GetScrollRange(int bar, int* minPos, int* maxPos) const;
  void SetScrollPos(int bar, int pos, BOOL redraw = TRUE);
  int GetScrollPos(int bar) const;
  // Scrolls by a scroll code; `thumb` is the position for the thumb codes.
  void OnHScroll(int code, int thumb);
  void OnVScroll(int code, int thumb);
  // Ranges, steps and positions of both bars from the extent, origin and
  // scale.
  void UpdateScrollBars();

  // --- read and written by the Gerber import -----------------------------
  double GgtFlag = 0.0;
  std::vector<int> GgtDeltaX;
  std::vector<int> GgtDeltaY;
  // The model chosen last in the Gerber style-folder dialog.
  int RememberedModelIndex = 0;

  // The last mouse position over the view, client pixels.
  CPoint MousePosition() const { return mouse_; }
  void SetMousePosition(CPoint p) { mouse_ = p; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  struct ScrollBar {
    int min = 0;
    int max = 0;
    int pos = 0;
  };

  void RedrawRulerScales();
  void RefreshRulers();
  // Marks the canvas stale and (re)starts the settle timer: the render is
  // served once, later (see the top of this file).
  void Render();
  // Renders the whole view into the canvas now and schedules a repaint.
  void RenderNow();
  // Renders the whole view into the canvas.
  void RenderCanvas();
  // The settle timer's end: a stale canvas is repainted (rendered first).
  void OnRenderSettled();
  // How long the settle timer waits.
  int SettleMs() const;
  void Scroll(int bar, int code, int thumb);
  // The client size with a floor of kMinClientPixels each way.
  int UsableWidth() const;
  int UsableHeight() const;

  BOOL marking_ = TRUE;
  double scroll_step_x_ = 200.0;
  double scroll_step_y_ = 200.0;
  int32_t origin_x_ = 0;
  int32_t origin_y_ = 0;
  double scale_ = 0.0;
  CPoint mouse_;
  ScrollBar bars_[2];
  QImage canvas_;
  PlacementCache placement_cache_;
  QImage discarded_;  // empty: what GetDC draws on while a render is pending
  bool render_pending_ = false;
  QTimer* render_timer_ = nullptr;
  int64_t last_render_ms_ = 0;
  QElapsedTimer last_render_end_;  // invalid until the first render
  std::vector<std::unique_ptr<CDC>> dcs_;
  CRulerBar* top_ruler_ = nullptr;
  CRulerBar* left_ruler_ = nullptr;
};
