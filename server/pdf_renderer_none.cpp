// The renderer of builds without Qt: the server answers CREATEPDF but writes no PDF.
#include "platform/codepage.h"
#include "server/pdf_renderer.h"

namespace wb::server {

void InitPdfRendering() {}
void ShutdownPdfRendering() {}
bool PdfRenderingAvailable() { return false; }

bool RenderPdf(const TOrderDocument&, const std::string&, std::string& error) {
  error = "Dieser Server wurde ohne PDF-Ausgabe gebaut (Qt fehlte).";
  return false;
}

}  // namespace wb::server
