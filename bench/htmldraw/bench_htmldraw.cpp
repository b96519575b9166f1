// Drawing the main window's list rows: DrawHtmlItem through the QPainter
// surface, compared in the same run with QTextDocument drawing the same
// markup (what a Qt delegate would otherwise use) and with the floor: the same
// text runs drawn by plain QPainter calls, fonts set by hand, no markup at all.
// Each iteration draws every row of a set once; us_per_row is the figure.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTextDocument>
#include <string>
#include <vector>

#include "gui/qt/painter_surface.h"
#include "gui/qt/system_colors.h"
#include "htmldraw/html_item.h"
#include "platform/codepage.h"

namespace {

constexpr int kRowWidth = 377;
constexpr int kRowHeight = 21;
constexpr int kTextLeft = 5;

// One run of a row as the floor draws it.
struct Run {
  const char* text;  // UTF-8
  bool bold;
  bool italic;
  QColor color;
};

struct Row {
  const char* markup;  // UTF-8; the renderer gets it in the system code page
  const char* qtHtml;  // the same row in Qt's rich text
  std::vector<Run> runs;
};

const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kGrey(0x80, 0x80, 0x80);

// What the list shows: "[destination] name", markup already stripped from the name.
std::vector<Row> DisplayRows() {
  return {
      {"[pdf] Rechnung an Kunde", "[pdf] Rechnung an Kunde", {{"[pdf] Rechnung an Kunde", true, false, kBlack}}},
      {"[print] Lieferschein Lager 2 & Versand",
       "[print] Lieferschein Lager 2 &amp; Versand",
       {{"[print] Lieferschein Lager 2 & Versand", true, false, kBlack}}},
      {"[pdf] Auftragsbestätigung per E-Mail  [Nicht benutzt]",
       "[pdf] Auftragsbestätigung per E-Mail  [Nicht benutzt]",
       {{"[pdf] Auftragsbestätigung per E-Mail  [Nicht benutzt]", true, false, kBlack}}},
      {"[Extern] Gutschrift Kopie Buchhaltung",
       "[Extern] Gutschrift Kopie Buchhaltung",
       {{"[Extern] Gutschrift Kopie Buchhaltung", true, false, kBlack}}},
  };
}

// Names written with markup: bold, colours, italics.
std::vector<Row> MarkupRows() {
  return {
      {"[pdf] Rechnung <B>Original</B> an Kunde",
       "[pdf] Rechnung <b>Original</b> an Kunde",
       {{"[pdf] Rechnung ", true, false, kBlack},
        {"Original", true, false, kBlack},
        {" an Kunde", false, false, kBlack}}},
      {"<FONT color=\"clRed\">Mahnung</FONT> 2. Stufe <I>(Druck)</I>",
       "<font color=\"#ff0000\">Mahnung</font> 2. Stufe <i>(Druck)</i>",
       {{"Mahnung", true, false, kRed}, {" 2. Stufe ", true, false, kBlack}, {"(Druck)", true, true, kBlack}}},
      {"[print] Lieferschein <FONT color=\"#808080\">(Fach 2)</FONT>",
       "[print] Lieferschein <font color=\"#808080\">(Fach 2)</font>",
       {{"[print] Lieferschein ", true, false, kBlack}, {"(Fach 2)", true, false, kGrey}}},
      {"[pdf] <B>Angebot</B> mit <I>Anlagen</I>",
       "[pdf] <b>Angebot</b> mit <i>Anlagen</i>",
       {{"[pdf] ", true, false, kBlack},
        {"Angebot", true, false, kBlack},
        {" mit ", false, false, kBlack},
        {"Anlagen", false, true, kBlack}}},
  };
}

QFont RowFont() {
  QFont font(wb::gui::ResolveFontFamily("Tahoma").family);
  font.setPointSize(9);
  font.setBold(true);
  return font;
}

struct Canvas {
  Canvas() : image(kRowWidth, kRowHeight, QImage::Format_ARGB32_Premultiplied), painter(&image) {}
  QImage image;
  QPainter painter;
};

void SetPerRow(benchmark::State& state, std::size_t rows) {
  state.counters["us_per_row"] = benchmark::Counter(static_cast<double>(state.iterations() * rows) / 1e6,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void DrawHtmlItemRows(benchmark::State& state, const std::vector<Row>& rows) {
  std::vector<std::string> texts;
  for (const Row& row : rows) texts.push_back(wb::platform::Utf8ToAnsi(row.markup));
  Canvas canvas;
  const wb::TSurfaceFont font = wb::gui::SurfaceFontFromQFont(RowFont(), kBlack);
  for (auto _ : state) {
    for (const std::string& text : texts) {
      canvas.painter.fillRect(0, 0, kRowWidth, kRowHeight, Qt::white);
      wb::gui::PainterSurface surface(canvas.painter);
      surface.SetFont(font);
      surface.SetBackgroundColor(wb::clWhite);
      wb::DrawHtmlItem(surface, true, text, false, {kTextLeft, 0, kRowWidth, kRowHeight});
    }
    benchmark::ClobberMemory();
  }
  SetPerRow(state, rows.size());
}

void QTextDocumentRows(benchmark::State& state, const std::vector<Row>& rows) {
  Canvas canvas;
  QTextDocument document;
  document.setDefaultFont(RowFont());
  document.setDocumentMargin(0);
  std::vector<QString> html;
  for (const Row& row : rows) html.push_back(QString::fromUtf8(row.qtHtml));
  for (auto _ : state) {
    for (const QString& text : html) {
      canvas.painter.fillRect(0, 0, kRowWidth, kRowHeight, Qt::white);
      document.setHtml(text);
      canvas.painter.save();
      canvas.painter.translate(kTextLeft, 0);
      document.drawContents(&canvas.painter, QRectF(0, 0, kRowWidth - kTextLeft, kRowHeight));
      canvas.painter.restore();
    }
    benchmark::ClobberMemory();
  }
  SetPerRow(state, rows.size());
}

// The floor: fonts, colours, strings and positions prepared beforehand.
void PlainQPainterRows(benchmark::State& state, const std::vector<Row>& rows) {
  struct PreparedRun {
    QFont font;
    QColor color;
    QString text;
    QPointF position;
  };
  Canvas canvas;
  std::vector<std::vector<PreparedRun>> prepared;
  for (const Row& row : rows) {
    std::vector<PreparedRun> runs;
    qreal x = kTextLeft;
    for (const Run& run : row.runs) {
      QFont font = RowFont();
      font.setBold(run.bold);
      font.setItalic(run.italic);
      const QFontMetricsF metrics(font, &canvas.image);
      const QString text = QString::fromUtf8(run.text);
      runs.push_back({font, run.color, text, QPointF(x, metrics.ascent())});
      x += metrics.horizontalAdvance(text);
    }
    prepared.push_back(std::move(runs));
  }
  for (auto _ : state) {
    for (const auto& runs : prepared) {
      canvas.painter.fillRect(0, 0, kRowWidth, kRowHeight, Qt::white);
      for (const PreparedRun& run : runs) {
        canvas.painter.setFont(run.font);
        canvas.painter.setPen(run.color);
        canvas.painter.drawText(run.position, run.text);
      }
    }
    benchmark::ClobberMemory();
  }
  SetPerRow(state, rows.size());
}

void BM_DrawHtmlItem_DisplayRows(benchmark::State& state) { DrawHtmlItemRows(state, DisplayRows()); }
void BM_QTextDocument_DisplayRows(benchmark::State& state) { QTextDocumentRows(state, DisplayRows()); }
void BM_PlainQPainter_DisplayRows(benchmark::State& state) { PlainQPainterRows(state, DisplayRows()); }
void BM_DrawHtmlItem_MarkupRows(benchmark::State& state) { DrawHtmlItemRows(state, MarkupRows()); }
void BM_QTextDocument_MarkupRows(benchmark::State& state) { QTextDocumentRows(state, MarkupRows()); }
void BM_PlainQPainter_MarkupRows(benchmark::State& state) { PlainQPainterRows(state, MarkupRows()); }

BENCHMARK(BM_DrawHtmlItem_DisplayRows);
BENCHMARK(BM_QTextDocument_DisplayRows);
BENCHMARK(BM_PlainQPainter_DisplayRows);
BENCHMARK(BM_DrawHtmlItem_MarkupRows);
BENCHMARK(BM_QTextDocument_MarkupRows);
BENCHMARK(BM_PlainQPainter_MarkupRows);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
