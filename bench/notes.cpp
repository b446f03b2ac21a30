// Notes of the largest size a notes file may have (16 MiB) in lines of 60
// characters and on one line: decoding the file's bytes, putting the text in
// the notes window, and showing the window until it has painted. Processor
// time, which a busy machine disturbs less than wall time: the whole, and
// split in the counters. Then, outside the whole, going to the end of the
// text and typing there until the window has painted again.
#include "Interleaved.h"
#include "OffscreenApplication.h"

#include "ui/Memo.h"
#include "ui/NotesText.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <benchmark/benchmark.h>

namespace {

QByteArray notesFile(int lineLength)
{
    constexpr qsizetype Bytes = qsizetype(16) << 20;
    QByteArray bytes;
    bytes.reserve(Bytes);
    for (qsizetype i = 0; bytes.size() < Bytes; ++i) {
        if (lineLength > 0 && i % (lineLength + 2) == lineLength)
            bytes += "\r\n", ++i;
        else
            bytes += char('a' + i % 26);
    }
    bytes.truncate(Bytes);
    return bytes;
}

void OpenNotes(benchmark::State &state)
{
    offscreenApplication();
    const QByteArray bytes = notesFile(int(state.range(0)));
    std::vector<double> decode, fill, show, typeAtEnd;
    for (auto _ : state) {
        TMemoForm window;
        window.Memo->setEnabled(true);
        QString text;
        decode.push_back(bench::timesOf([&] { text = DecodeNotes(bytes); }).cpu);
        fill.push_back(bench::timesOf([&] { window.setNotesText(text); }).cpu);
        show.push_back(bench::timesOf([&] {
            window.show();
            window.Memo->viewport()->repaint();
            QApplication::processEvents();
        }).cpu);
        state.SetIterationTime(decode.back() + fill.back() + show.back());
        typeAtEnd.push_back(bench::timesOf([&] {
            window.Memo->moveCursor(QTextCursor::End);
            window.Memo->insertPlainText(QStringLiteral("x"));
            window.Memo->viewport()->repaint();
            QApplication::processEvents();
        }).cpu);
    }
    state.counters["decode_ms"] = bench::median(decode) * 1e3;
    state.counters["set_text_ms"] = bench::median(fill) * 1e3;
    state.counters["show_ms"] = bench::median(show) * 1e3;
    state.counters["type_at_end_ms"] = bench::median(typeAtEnd) * 1e3;
}

} // namespace

BENCHMARK(OpenNotes)->ArgName("line")->Arg(60)->Arg(0)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
