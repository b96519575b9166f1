// Turns a TOrderDocument into a PDF file through the PDF library of the build
// (Qt's PDF writer on an offscreen platform). Builds without Qt report that no
// PDF can be made.
#pragma once

#include <string>

#include "server/order_document.h"

namespace wb::server {

// Once, from main, before any other thread renders.
void InitPdfRendering();
void ShutdownPdfRendering();
bool PdfRenderingAvailable();

// Writes the document as an A4 PDF to fileName (8-bit path). False with a German
// reason when the file cannot be written.
bool RenderPdf(const TOrderDocument& document, const std::string& fileName, std::string& error);

}  // namespace wb::server
