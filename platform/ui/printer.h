// The system printer as one object, as the report previewer and the
// inconsistency list drive it: font, current position in twips, text, lines,
// new page, end of job, orientation. The job starts with the first thing drawn
// and goes to the system's default printer; no printer raises error 482.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

enum PrinterOrientation : int { vbPRORPortrait = 1, vbPRORLandscape = 2 };

class Printer {
  public:
    Printer();
    ~Printer();
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    // Font and position in force for the next thing drawn; twips from the
    // top-left corner of the printable area.
    std::string FontName = "Courier New";
    double FontSize = 10;
    bool FontBold = false;
    double CurrentX = 0;
    double CurrentY = 0;
    int DrawWidth = 1;  // printer dots

    // Takes effect on the next page begun (and for the next job).
    void SetOrientation(int orientation);
    int Orientation() const { return orientation_; }

    // Prints the text with its top at the current position, then moves to
    // the start of the next line (CurrentX 0, CurrentY one line lower).
    void Print(std::string_view text);
    // Draws a line DrawWidth dots wide; the position ends at its end.
    void Line(double x1, double y1, double x2, double y2);
    // Ends the page; the next thing drawn goes on a new one. A new page that
    // nothing is drawn on adds no sheet.
    void NewPage();
    // Ends the job and sends it.
    void EndDoc();
    // Abandons the job.
    void KillDoc();
    // Page of the job being printed, from 1; 0 outside a job.
    int Page() const;
    // Height of a line of text in the font in force, in twips.
    double TextHeight(std::string_view text) const;
    double TextWidth(std::string_view text) const;

    // What went on each page of the last job: the texts printed, in order,
    // and the count of lines drawn (for tests and the print log).
    struct PageRecord {
        std::vector<std::string> texts;
        int lines = 0;
        int orientation = vbPRORPortrait;
    };
    const std::vector<PageRecord>& LastJob() const;

    // Sends jobs to a PDF file instead of the printer; empty restores the
    // system's default printer. The printer object starts with the file
    // named by the environment variable PRINTER_PDF_OUTPUT, when it is set
    // and not empty (a run without a printer that keeps what it prints).
    void SetPdfOutput(std::string path);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    int orientation_ = vbPRORPortrait;
    void AseguraPagina();
};

// The program's one printer object.
Printer& ThePrinter();

}  // namespace ui
