#include "ui/printer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <optional>
#include <string>
#include <vector>

#include "main_app.h"
#include "vb/error.h"

namespace {

using namespace ui;

struct PdfPage {
    double width, height;
};

// The pages of a PDF written by Qt, with their media boxes, in order.
std::vector<PdfPage> PdfPages(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    const QString pdf = QString::fromLatin1(f.readAll());
    std::vector<PdfPage> pages;
    static const QRegularExpression page(
        R"(/Type\s*/Page\b(?!s)[\s\S]*?/MediaBox\s*\[\s*[\d.]+\s+[\d.]+\s+([\d.]+)\s+([\d.]+)\s*\])");
    auto it = page.globalMatch(pdf);
    while (it.hasNext()) {
        auto m = it.next();
        pages.push_back({m.captured(1).toDouble(), m.captured(2).toDouble()});
    }
    return pages;
}

// The text pdftotext finds on page n (from 1) of a PDF, blanks and line ends
// folded to single blanks; nullopt when pdftotext is not installed.
std::optional<std::string> PageText(const QString& pdf, int n) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) return std::nullopt;
    QProcess run;
    run.start(tool, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), QStringLiteral("-f"),
                     QString::number(n), QStringLiteral("-l"), QString::number(n), pdf,
                     QStringLiteral("-")});
    EXPECT_TRUE(run.waitForFinished(30000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    return QString::fromUtf8(run.readAllStandardOutput()).simplified().toStdString();
}

bool HasPdfToText() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

class PrinterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TestApp();
        ASSERT_TRUE(dir_.isValid());
        pdf_ = dir_.filePath("job.pdf");
        p_.SetPdfOutput(pdf_.toStdString());
    }
    QTemporaryDir dir_;
    QString pdf_;
    Printer p_;
};

TEST_F(PrinterTest, WhatIsPrintedLandsOnItsPage) {
    p_.FontName = "Courier New";
    p_.FontSize = 10;
    p_.FontBold = true;
    p_.CurrentX = 1440;
    p_.CurrentY = 720;
    p_.Print("FORMULARIO 0787");
    // Print moves to the start of the next line.
    EXPECT_EQ(p_.CurrentX, 0);
    EXPECT_GT(p_.CurrentY, 720);
    EXPECT_LT(p_.CurrentY, 720 + 400);
    p_.DrawWidth = 1;
    p_.Line(100, 100, 5000, 100);
    EXPECT_EQ(p_.CurrentX, 5000);
    EXPECT_EQ(p_.Page(), 1);
    p_.NewPage();
    EXPECT_EQ(p_.Page(), 2);
    p_.CurrentX = 200;
    p_.CurrentY = 200;
    p_.Print("Página dos");
    p_.Print("ñandú");
    p_.EndDoc();
    EXPECT_EQ(p_.Page(), 0);

    ASSERT_EQ(p_.LastJob().size(), 2u);
    EXPECT_EQ(p_.LastJob()[0].texts, std::vector<std::string>{"FORMULARIO 0787"});
    EXPECT_EQ(p_.LastJob()[0].lines, 1);
    EXPECT_EQ(p_.LastJob()[1].texts, (std::vector<std::string>{"Página dos", "ñandú"}));
    EXPECT_EQ(PdfPages(pdf_).size(), 2u);
    if (!HasPdfToText()) {
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed: the text on each page of "
                        "the PDF is not checked";
    }
    EXPECT_EQ(PageText(pdf_, 1), "FORMULARIO 0787");
    EXPECT_EQ(PageText(pdf_, 2), "Página dos ñandú");
}

TEST_F(PrinterTest, EachPageOfThePdfHoldsItsOwnTexts) {
    // Three pages, the second with accented Spanish text; a NewPage with
    // nothing drawn after it adds no sheet, so the third text is on page 3.
    const std::vector<std::vector<std::string>> pages = {
        {"FORMULARIO 0787", "Resumen de retenciones"},
        {"Página dos", "Declaración jurada del año 2004: señor Núñez, Ñandú S.A."},
        {"Tercera hoja"},
    };
    for (std::size_t k = 0; k < pages.size(); ++k) {
        if (k > 0) p_.NewPage();
        if (k == 2) p_.NewPage();
        p_.CurrentX = 720;
        p_.CurrentY = 720;
        p_.FontBold = k == 0;
        for (const std::string& t : pages[k]) p_.Print(t);
        p_.Line(720, 300, 9000, 300);
    }
    p_.EndDoc();
    ASSERT_EQ(PdfPages(pdf_).size(), pages.size());

    if (!HasPdfToText()) {
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed: the text on each page of "
                        "the PDF is not checked";
    }
    for (std::size_t k = 0; k < pages.size(); ++k) {
        const std::optional<std::string> text = PageText(pdf_, static_cast<int>(k) + 1);
        ASSERT_TRUE(text);
        for (std::size_t j = 0; j < pages.size(); ++j) {
            for (const std::string& t : pages[j]) {
                if (j == k) {
                    EXPECT_NE(text->find(t), std::string::npos)
                        << '"' << t << "\" missing from page " << k + 1 << ": " << *text;
                } else {
                    EXPECT_EQ(text->find(t), std::string::npos)
                        << '"' << t << "\" also on page " << k + 1 << ": " << *text;
                }
            }
        }
    }
}

TEST_F(PrinterTest, NewPageJustBeforeTheEndAddsNoSheet) {
    p_.Print("uno");
    p_.NewPage();
    p_.EndDoc();
    EXPECT_EQ(p_.LastJob().size(), 1u);
    EXPECT_EQ(PdfPages(pdf_).size(), 1u);
}

TEST_F(PrinterTest, LandscapeJobAndBackToPortrait) {
    p_.SetOrientation(vbPRORLandscape);
    p_.Print("apaisado");
    p_.NewPage();
    p_.Print("segunda");
    p_.EndDoc();
    p_.SetOrientation(vbPRORPortrait);
    auto pages = PdfPages(pdf_);
    ASSERT_EQ(pages.size(), 2u);
    for (const auto& pg : pages) EXPECT_GT(pg.width, pg.height);
    EXPECT_EQ(p_.LastJob()[1].orientation, vbPRORLandscape);
    if (HasPdfToText()) {
        EXPECT_EQ(PageText(pdf_, 1), "apaisado");
        EXPECT_EQ(PageText(pdf_, 2), "segunda");
    }

    p_.Print("vertical");
    p_.EndDoc();
    pages = PdfPages(pdf_);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_LT(pages[0].width, pages[0].height);
}

TEST_F(PrinterTest, BadOrientationIsAnInvalidPropertyValue) {
    try {
        p_.SetOrientation(3);
        FAIL();
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.Number(), 380);
    }
}

TEST_F(PrinterTest, EndDocWithoutAJobAndNewPageBeforeAnyDrawingDoNothing) {
    p_.NewPage();
    p_.EndDoc();
    EXPECT_FALSE(QFile::exists(pdf_));
    EXPECT_TRUE(p_.LastJob().empty());
}

TEST(PrinterSystem, NoPrinterIsError482) {
    TestApp();
    ASSERT_TRUE(QPrinterInfo::defaultPrinter().isNull()) << "the tests reach a printer";
    Printer p;
    try {
        p.Print("x");
        FAIL();
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.Number(), 482);
    }
    EXPECT_EQ(p.Page(), 0);
}

}  // namespace
