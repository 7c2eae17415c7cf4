// SPDX-License-Identifier: Apache-2.0
// The about window and the two variable list windows that reuse it.
#include "about_window.h"

#include "about_texts.h"
#include "manual_text.h"
#include "tolvane_model.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

class AboutWindowTest : public QObject {
    Q_OBJECT

private:
    Tabout_F* about = nullptr;
    QWidget* main_window = nullptr;

    static void grab_to(QWidget* widget, const char* name)
    {
        const QByteArray dir = qgetenv("TOLVANE_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            widget->grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QString::fromLatin1(name)));
    }

    // Applies settings, shows the window without blocking, and checks every
    // property that a use sets.
    void check_use(const about_window_settings& s, const char* caption, int memo_height, bool scroll_bar,
                   int button_top, int window_height)
    {
        about->apply(s, main_window);
        about->show();
        QCOMPARE(about->windowTitle(), QString::fromLatin1(caption));
        QCOMPARE(about->text_M->geometry(), QRect(3, 118, 422, memo_height));
        QCOMPARE(about->text_M->verticalScrollBarPolicy(),
                 scroll_bar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        QCOMPARE(about->okay_B->geometry(), QRect(176, button_top, 75, 25));
        QCOMPARE(about->window_height(), window_height);
        QCOMPARE(about->version_L->text(), QStringLiteral("V: 2.01   Jul 22 2013"));
        QString shown = s.memo_text;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QCOMPARE(about->text_M->toPlainText(), shown);
        // The OK button lies inside the client area, below the memo.
        QVERIFY(about->okay_B->geometry().bottom() < about->height());
        QVERIFY(about->okay_B->y() > about->text_M->geometry().bottom());
        // Centred on the main window.
        const QPoint centre = main_window->frameGeometry().center();
        QVERIFY(qAbs(about->x() + Tabout_F::window_width / 2 - centre.x()) <= 1);
        QVERIFY(qAbs(about->y() + window_height / 2 - centre.y()) <= 1);
    }

private slots:
    void initTestCase()
    {
        estab_pnt();
        main_window = new QWidget;
        main_window->setGeometry(0, 0, 1022, 740);
        about = new Tabout_F;
    }

    void cleanupTestCase()
    {
        delete about;
        delete main_window;
        QCOMPARE(about_F, static_cast<Tabout_F*>(nullptr));
    }

    void the_one_instance_with_its_fixed_parts()
    {
        QCOMPARE(about_F, about);
        QVERIFY(about->isModal());
        QCOMPARE(about->content_P->geometry(), QRect(3, -5, 422, 118));
        QCOMPARE(about->content_P->palette().color(QPalette::Window), QColor(Qt::white));
        // Lowered outer, raised inner bevel: the etched box, two pixels in all.
        QCOMPARE(about->content_P->frameShape(), QFrame::Box);
        QCOMPARE(about->content_P->frameShadow(), QFrame::Sunken);
        QCOMPARE(about->content_P->frameWidth(), 2);
        QCOMPARE(about->image_I->geometry(), QRect(35, 2, 200, 108));
        QVERIFY(!about->image_I->pixmap().isNull());
        QCOMPARE(about->version_L->geometry(), QRect(259, 36, 136, 13));
        QVERIFY(about->okay_B->isDefault());
        QVERIFY(about->text_M->isReadOnly());
        QVERIFY(!(about->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(about->windowFlags() & Qt::WindowMaximizeButtonHint));
    }

    void about_use()
    {
        check_use(about_settings(), "Tolvane  About", 489, false, 616, 682);
        // The version label is not clipped.
        QVERIFY(about->version_L->fontMetrics().horizontalAdvance(about->version_L->text()) <=
                about->version_L->width());
        // The picture really is drawn: the image area is not all white.
        const QImage shot = about->grab().toImage();
        int coloured = 0;
        for (int y = 10; y < 100; y += 3)
            for (int x = 45; x < 230; x += 3) coloured += shot.pixelColor(x, y) != QColor(Qt::white);
        QVERIFY(coloured > 100);
        grab_to(about, "about.png");
        about->okay_B->click();
        QVERIFY(!about->isVisible());
        QCOMPARE(about->result(), int(QDialog::Accepted));
    }

    void about_text_has_three_sections_and_fits_without_a_scroll_bar()
    {
        const QString text = about_text();
        QVERIFY(!text.contains(QLatin1Char('\n')) ||
                text.count(QStringLiteral("\r\n")) == text.count(QLatin1Char('\n')));
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        int headings = 0;
        for (const QString& line : lines) {
            if (!line.isEmpty() && !line.startsWith(QLatin1Char(' '))) ++headings;
            if (line.startsWith(QLatin1Char(' ')))
                QVERIFY(line.startsWith(QStringLiteral("    ")) && line[4] != QLatin1Char(' '));
        }
        QCOMPARE(headings, 3);
        about->apply(about_settings(), main_window);
        about->show();
        QCoreApplication::processEvents();
        // All of it is visible although the memo has no scroll bar.
        QCOMPARE(about->text_M->verticalScrollBar()->maximum(), 0);
        QCOMPARE(text.size(), 2603);
        // The licence is named, as --version names it.
        QVERIFY(text.contains(
            QString::fromLatin1(program_licence().data(), qsizetype(program_licence().size()))));
        about->hide();
    }

    void factor_list()
    {
        const int n = num_fct;
        check_use(factor_list_settings(), "Tolvane Subject Factors", 14 * n + 9, false, 14 * n + 142,
                  14 * n + 202);
        QCOMPARE(about->text_M->height(), 457);
        QCOMPARE(about->okay_B->y(), 590);
        QCOMPARE(about->window_height(), 650);
        const QStringList lines = factor_list_text().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 2 + n + 1);
        QCOMPARE(lines[0], QStringLiteral("Subject Factor List"));
        QCOMPARE(lines[1], QString());
        QCOMPARE(lines[2], QStringLiteral("    2,3-DPG concentration in red cells"));
        QCOMPARE(lines[2 + n - 1], QStringLiteral("    Work Rate"));
        QCOMPARE(lines.last(), QStringLiteral("    "));
        QCoreApplication::processEvents();
        // Without a scroll bar every name must be in view: at most the
        // closing line of blanks may lie below the memo's lower edge.
        QVERIFY(about->text_M->verticalScrollBar()->maximum() <= 1);
        QTextCursor last_name(about->text_M->document()->findBlockByNumber(2 + n - 1));
        QVERIFY(about->text_M->cursorRect(last_name).bottom() < about->text_M->viewport()->height());
        grab_to(about, "factor_list.png");
        about->hide();
    }

    void display_list()
    {
        check_use(display_list_settings(), "Tolvane Display Variables", 479, true, 612, 672);
        const QStringList lines = display_list_text().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 2 + num_dsy - 1);
        QCOMPARE(lines[0], QStringLiteral("Display Variables List"));
        QCOMPARE(lines[1], QString());
        QCOMPARE(lines[2], QStringLiteral("    Alveolar CO2 amount"));
        QVERIFY(!display_list_text().contains(QStringLiteral("No display")));
        // Code page 1252 quotes arrive as typographic quotes.
        QVERIFY(display_list_text().contains(QString::fromUtf8("in \u2018fast\u2019 compartment")));
        QCoreApplication::processEvents();
        grab_to(about, "display_list.png");
        about->hide();
    }

    void about_after_a_list_window_shows_the_about_settings()
    {
        about->apply(display_list_settings(), main_window);
        check_use(about_settings(), "Tolvane  About", 489, false, 616, 682);
        about->hide();
        about->apply(factor_list_settings(), main_window);
        check_use(about_settings(), "Tolvane  About", 489, false, 616, 682);
        about->hide();
    }
};

QTEST_MAIN(AboutWindowTest)
#include "about_window_test.moc"
