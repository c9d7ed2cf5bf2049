#pragma once
// Printing through Qt's print support. When no printer exists the job goes to a PDF file named after
// the job caption in PrintOutputFolder() (the user's documents folder unless set).

#include <QPainter>

#include <functional>
#include <string>

namespace kv {

struct TPrintPage {
    QPainter* painter = nullptr;
    int dpiX = 0, dpiY = 0;
    QRect pageRect; // printable area in device pixels
};

// Runs `render` once per page until it returns false (no more pages). Returns false when the job
// could not be started. `outputFile` receives the PDF file's path when the job went to a file.
bool PrintJob(const std::string& caption, const std::function<bool(TPrintPage& page, int pageIndex)>& render,
              std::string* outputFile = nullptr);

// Tests and headless runs: force printing to PDF in this folder (empty: default behaviour).
void SetPrintOutputFolder(const std::string& folder);
std::string PrintOutputFolder();

} // namespace kv
