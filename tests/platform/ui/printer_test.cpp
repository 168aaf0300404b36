#include "ui/printer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

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
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a printer is installed here";
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
