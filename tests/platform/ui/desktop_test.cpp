// The desktop's handler opening an address or the help file, for real: a
// stand-in xdg-open that fails or succeeds.
#include "ui/desktop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <cstdlib>

#include "main_app.h"
#include "ui/msgbox.h"

namespace {

using namespace ui;

// PATH holds only a folder with an xdg-open that ends with `codigo` after
// writing what it was given.
class Abridor {
  public:
    explicit Abridor(int codigo) {
        TestApp();
        const QString guion = dir_.filePath(QStringLiteral("xdg-open"));
        QFile f(guion);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("#!/bin/sh\necho \"$1\" > '%1'\nexit %2\n")
                    .arg(Recibido(), QString::number(codigo))
                    .toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (const char* p = std::getenv("PATH")) path_ = p;
        ::setenv("PATH", dir_.path().toLocal8Bit().constData(), 1);
    }
    ~Abridor() { ::setenv("PATH", path_.c_str(), 1); }
    QString Recibido() const { return dir_.filePath(QStringLiteral("recibido")); }
    // Lets the program's events run until the stand-in has ended and the
    // program has heard of it.
    void Espera(const ScriptedAnswers& s, std::size_t cajas) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000 && (!QFile::exists(Recibido()) || s.Shown().size() < cajas)) {
            QCoreApplication::processEvents();
            QThread::msleep(10);
        }
        // A box that should not come has had its chance.
        for (int i = 0; i < 30; ++i) {
            QCoreApplication::processEvents();
            QThread::msleep(10);
        }
    }

  private:
    QTemporaryDir dir_;
    std::string path_;
};

TEST(Desktop, NoProgramToOpenItIsToldNamingTheAddressOrFile) {
    const std::string url = "https://descargas.koral.example/qvx/v.htm?p=0787&v=1.9#p787";
    {
        Abridor abridor(3);
        ScriptedAnswers s;
        AbreDireccion(url, "0787 Olvarico v 1.9");
        abridor.Espera(s, 1);
        ASSERT_EQ(s.Shown().size(), 1u);
        EXPECT_NE(s.Shown()[0].text.find(url), std::string::npos) << s.Shown()[0].text;
        EXPECT_EQ(s.Shown()[0].title, "0787 Olvarico v 1.9");
    }
    QTemporaryDir ayuda;
    QFile f(ayuda.filePath(QStringLiteral("formdesk.html")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    {
        Abridor abridor(4);
        ScriptedAnswers s;
        EXPECT_TRUE(
            MuestraAyuda(ayuda.filePath(QStringLiteral("formdesk")).toStdString(), "T", 1008));
        abridor.Espera(s, 1);
        ASSERT_EQ(s.Shown().size(), 1u);
        EXPECT_NE(s.Shown()[0].text.find(f.fileName().toStdString()), std::string::npos);
    }
    // A handler that opens it: no message, and the help opens at its context.
    {
        Abridor abridor(0);
        ScriptedAnswers s;
        MuestraAyuda(ayuda.filePath(QStringLiteral("formdesk")).toStdString(), "T", 1008);
        abridor.Espera(s, 0);
        EXPECT_TRUE(s.Shown().empty());
        QFile r(abridor.Recibido());
        ASSERT_TRUE(r.open(QIODevice::ReadOnly));
        EXPECT_TRUE(r.readAll().trimmed().endsWith("formdesk.html#1008"));
    }
}

}  // namespace
