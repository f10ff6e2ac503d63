#include "engine/dispatch.h"

#include "engine/execute.h"

#include <utility>

namespace korvane::engine {

const std::array<TStatementRow, static_cast<size_t>(TStatement::Count)>& StatementTable() {
    using S = TStatement;
    using T = TLineTest;
    static const std::array<TStatementRow, static_cast<size_t>(TStatement::Count)> table = {{
        {S::Comment, T::SBegins, "#"},
        {S::For, T::LBegins, "for ("},
        {S::If, T::LBegins, "if ("},
        {S::While, T::LBegins, "while ("},
        {S::Repeat, T::LIs, "repeat"},
        {S::Break, T::LIs, "break"},
        {S::Exit, T::LIs, "exit"},
        {S::ProcedureCall, T::ProcedureCall, ""},
        {S::ProcedureDefinition, T::LBegins, "procedure "},
        {S::Closeport, T::SBegins, "closeport("},
        {S::Writelog, T::SBegins, "writelog("},
        {S::Openport, T::SBegins, "openport("},
        {S::Setrts, T::SBegins, "setrts("},
        {S::Clearrts, T::SBegins, "clearrts("},
        {S::Setdtr, T::SBegins, "setdtr("},
        {S::Cleardtr, T::SBegins, "cleardtr("},
        {S::Exec, T::SBegins, "exec("},
        {S::Flush, T::SBegins, "flush("},
        {S::Fcreate, T::SBegins, "fcreate("},
        {S::Fclose, T::SBegins, "fclose("},
        {S::Fseek, T::SBegins, "fseek("},
        {S::Openrack, T::SBegins, "openrack("},
        {S::Send, T::SBegins, "send("},
        {S::Saverack, T::SBegins, "saverack("},
        {S::Debugon, T::LBegins, "debugon"},
        {S::Debugoff, T::LBegins, "debugoff"},
        {S::Showline, T::LBegins, "showline"},
        {S::Showterm, T::SBegins, "showterm("},
        {S::Hideterm, T::SBegins, "hideterm("},
        {S::Setport, T::LBegins, "setport"},
        {S::Capturerack, T::SBegins, "capturerack("},
        {S::TcpSrvOpen, T::SBegins, "tcp_srv_open("},
        {S::TcpOpen, T::SBegins, "tcp_open("},
        {S::TcpSrvClose, T::SBegins, "tcp_srv_close("},
        {S::TcpClose, T::SBegins, "tcp_close("},
        {S::TcpSrvFlush, T::SBegins, "tcp_srv_flush("},
        {S::TcpFlush, T::SBegins, "tcp_flush("},
        {S::TcpSrvWrite, T::SBegins, "tcp_srv_write("},
        {S::TcpWrite, T::SBegins, "tcp_write("},
        {S::Showmain, T::LBeginsNotStandalone, "showmain"},
        {S::Hidemain, T::LBeginsProgramHasOpenrack, "hidemain"},
        {S::Setidle, T::SBegins, "setidle("},
        {S::Loadimage, T::SBegins, "loadimage("},
        {S::DdownSettext, T::SBegins, "ddown_settext("},
        {S::Setvisible, T::SBegins, "setvisible("},
        {S::Check, T::SBegins, "check("},
    }};
    return table;
}

const std::array<TFunctionRow, static_cast<size_t>(TFunction::Count)>& FunctionTable() {
    using F = TFunction;
    static const std::array<TFunctionRow, static_cast<size_t>(TFunction::Count)> table = {{
        {F::Geterror, "geterror", 0},
        {F::Enumports, "enumports", 0},
        {F::Receive, "receive", 1},
        {F::TcpSrvRead, "tcp_srv_read", 0},
        {F::TcpRead, "tcp_read", 0},
        {F::TcpSrvHasclient, "tcp_srv_hasclient", 0},
        {F::TcpIsconnected, "tcp_isconnected", 0},
        {F::Getcts, "getcts", 1},
        {F::Getdsr, "getdsr", 1},
        {F::Getrlsd, "getrlsd", 1},
        {F::Getring, "getring", 1},
        {F::Tohex, "tohex", 1},
        {F::Len, "len", 1},
        {F::Asc, "asc", 1},
        {F::Pos, "pos", 2},
        {F::Ucase, "ucase", 1},
        {F::Lcase, "lcase", 1},
        {F::Mid, "mid", 3},
        {F::Del, "del", 3},
        {F::Chr, "chr", 1},
        {F::Trim, "trim", 1},
        {F::Random, "random", 1},
        {F::Pow, "pow", 2},
        {F::Inputbox, "inputbox", 3},
        {F::Extract3, "extract", 3},
        {F::Extract1, "extract", 1},
        {F::Split, "split", 2},
        {F::Fopen, "fopen", 1},
        {F::Fread, "fread", 1},
        {F::Fwrite, "fwrite", 1},
        {F::GetBit, "get_bit", 2},
        {F::Time, "time", 0},
        {F::Date, "date", 0},
        {F::Year, "year", 0},
        {F::Month, "month", 0},
        {F::Day, "day", 0},
        {F::Getticks, "getticks", 0},
        {F::DdownGettext, "ddown_gettext", 1},
    }};
    return table;
}

void TDispatch::Bind(TStatement row, TStatementHandler handler) {
    m_statements[static_cast<size_t>(row)] = std::move(handler);
}

void TDispatch::Bind(TFunction row, TFunctionHandler handler) {
    m_functions[static_cast<size_t>(row)] = std::move(handler);
    m_valueFunctions[static_cast<size_t>(row)] = nullptr;
}

void TDispatch::BindValues(TFunction row, TValueFunction function) {
    Bind(row, [function](TExecute& run, const std::vector<std::string>& texts) {
        std::vector<std::string> values;
        const bool ok = run.EvaluateArguments(texts, values);
        std::vector<TArgument> arguments;
        arguments.reserve(values.size());
        for (std::string& value : values) arguments.emplace_back(std::move(value));
        return function(run, arguments, ok);
    });
    m_valueFunctions[static_cast<size_t>(row)] = function;
}

}  // namespace korvane::engine
