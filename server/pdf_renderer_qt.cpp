// The PDF renderer over QPdfWriter. The server shows no window, so it runs Qt on
// the offscreen platform; fonts come from the system's font configuration.
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QtGlobal>

#include <memory>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "server/pdf_renderer.h"
#include "server/server_log.h"

namespace wb::server {

namespace {

int gArgc = 1;
char gProgramName[] = "wbk-localserver";
char* gArgv[] = {gProgramName, nullptr};
std::unique_ptr<QGuiApplication> gApplication;

constexpr int kResolution = 300;  // dots per inch of the page coordinates
constexpr double kMarginMm = 20.0;
constexpr double kLabelColumnMm = 50.0;

QString ToQString(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

double MmToDots(double mm) { return mm * kResolution / 25.4; }

// Lays out text top to bottom and starts a new page when the next block does not fit.
class PageFlow {
 public:
  PageFlow(QPdfWriter& writer, QPainter& painter) : writer_(writer), painter_(painter) {
    QRectF page = painter_.viewport();
    left_ = MmToDots(kMarginMm);
    width_ = page.width() - 2 * left_;
    bottom_ = page.height() - MmToDots(kMarginMm);
    y_ = MmToDots(kMarginMm);
  }

  void Heading(const QString& text, double pointSize, bool bold) {
    QFont font("DejaVu Sans", 1);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    painter_.setFont(font);
    QRectF box = painter_.boundingRect(QRectF(left_, 0, width_, 1e6), Qt::TextWordWrap, text);
    Reserve(box.height());
    painter_.drawText(QRectF(left_, y_, width_, box.height()), Qt::TextWordWrap, text);
    y_ += box.height() + MmToDots(2);
  }

  void Row(const QString& label, const QString& value) {
    QFont font("DejaVu Sans", 1);
    font.setPointSizeF(10);
    painter_.setFont(font);
    double labelWidth = MmToDots(kLabelColumnMm);
    QRectF valueBox =
        painter_.boundingRect(QRectF(left_ + labelWidth, 0, width_ - labelWidth, 1e6), Qt::TextWrapAnywhere, value);
    QRectF labelBox = painter_.boundingRect(QRectF(left_, 0, labelWidth, 1e6), Qt::TextWordWrap, label);
    double height = std::max({valueBox.height(), labelBox.height(), QFontMetricsF(font, &writer_).height()});
    Reserve(height);
    painter_.drawText(QRectF(left_, y_, labelWidth - MmToDots(2), height), Qt::TextWordWrap, label);
    painter_.drawText(QRectF(left_ + labelWidth, y_, width_ - labelWidth, height), Qt::TextWrapAnywhere, value);
    y_ += height + MmToDots(1);
  }

  void Gap(double mm) { y_ += MmToDots(mm); }

 private:
  void Reserve(double height) {
    if (y_ + height <= bottom_ || y_ <= MmToDots(kMarginMm)) return;
    writer_.newPage();
    y_ = MmToDots(kMarginMm);
  }

  QPdfWriter& writer_;
  QPainter& painter_;
  double left_ = 0, width_ = 0, bottom_ = 0, y_ = 0;
};

// Qt's own remarks (no runtime folder and the like) belong in the verbose log.
void RouteQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
  std::string text = "Qt: " + platform::Utf8ToAnsi(message.toUtf8().toStdString());
  if (type == QtCriticalMsg || type == QtFatalMsg) LogLine(text);
  else LogVerbose(text);
}

}  // namespace

void InitPdfRendering() {
  if (gApplication) return;
  qInstallMessageHandler(RouteQtMessage);
  // Offscreen for the server only: the program it launches must keep the
  // user's display, so the variable is put back once Qt has read it.
  const QByteArray previous = qgetenv("QT_QPA_PLATFORM");
  const bool hadPrevious = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
  qputenv("QT_QPA_PLATFORM", "offscreen");
  gApplication = std::make_unique<QGuiApplication>(gArgc, gArgv);
  if (hadPrevious) qputenv("QT_QPA_PLATFORM", previous);
  else qunsetenv("QT_QPA_PLATFORM");
}

void ShutdownPdfRendering() { gApplication.reset(); }

bool PdfRenderingAvailable() { return gApplication != nullptr; }

bool RenderPdf(const TOrderDocument& document, const std::string& fileName, std::string& error) {
  if (!gApplication) {
    error = "Die PDF-Ausgabe ist nicht bereit.";
    return false;
  }
  QPdfWriter writer(QString::fromUtf8(platform::AnsiToUtf8(fileName).c_str()));
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setResolution(kResolution);
  writer.setTitle(ToQString(document.Title));
  writer.setCreator(QStringLiteral("wbk-localserver"));

  QPainter painter;
  if (!painter.begin(&writer)) {
    error = FormatMessageText("Die PDF-Datei %s kann nicht geschrieben werden.", fileName);
    return false;
  }
  PageFlow flow(writer, painter);
  flow.Heading(ToQString(document.Title), 18, true);
  flow.Heading(ToQString(document.Subtitle), 11, false);
  flow.Gap(4);
  if (!document.OrderFields.empty()) {
    flow.Heading(QString::fromUtf8("Auftrag"), 12, true);
    for (const auto& line : document.OrderFields) flow.Row(ToQString(line.Label), ToQString(line.Value));
    flow.Gap(4);
  }
  if (!document.OutputFields.empty()) {
    flow.Heading(QString::fromUtf8("Ausgabe"), 12, true);
    for (const auto& line : document.OutputFields) flow.Row(ToQString(line.Label), ToQString(line.Value));
    flow.Gap(4);
  }
  flow.Heading(ToQString(document.Footer), 8, false);
  if (!painter.end()) {
    error = FormatMessageText("Die PDF-Datei %s kann nicht geschrieben werden.", fileName);
    return false;
  }
  return true;
}

}  // namespace wb::server
