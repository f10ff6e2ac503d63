#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/value_argument.h"

namespace korvane::engine {

class TExecute;

// How a statement row recognises its line. L is the trimmed line, S the line without blanks.
enum class TLineTest {
    SBegins,
    LBegins,
    LIs,
    ProcedureCall,           // the program holds "procedure " + L (any case)
    LBeginsNotStandalone,    // showmain
    LBeginsProgramHasOpenrack,  // hidemain
};

enum class TStatement {
    Comment, For, If, While, Repeat, Break, Exit, ProcedureCall, ProcedureDefinition,
    Closeport, Writelog, Openport, Setrts, Clearrts, Setdtr, Cleardtr, Exec, Flush,
    Fcreate, Fclose, Fseek, Openrack, Send, Saverack, Debugon, Debugoff, Showline,
    Showterm, Hideterm, Setport, Capturerack, TcpSrvOpen, TcpOpen, TcpSrvClose, TcpClose,
    TcpSrvFlush, TcpFlush, TcpSrvWrite, TcpWrite, Showmain, Hidemain, Setidle, Loadimage,
    DdownSettext, Setvisible, Check,
    Count
};

enum class TFunction {
    Geterror, Enumports, Receive, TcpSrvRead, TcpRead, TcpSrvHasclient, TcpIsconnected,
    Getcts, Getdsr, Getrlsd, Getring, Tohex, Len, Asc, Pos, Ucase, Lcase, Mid, Del, Chr,
    Trim, Random, Pow, Inputbox, Extract3, Extract1, Split, Fopen, Fread, Fwrite, GetBit,
    Time, Date, Year, Month, Day, Getticks, DdownGettext,
    Count
};

struct TStatementRow {
    TStatement id;
    TLineTest test;
    std::string_view text;
};

struct TFunctionRow {
    TFunction id;
    std::string_view name;
    size_t argumentCount;
};

// The statement rows in the order they are tried; an assignment is what none of them takes.
const std::array<TStatementRow, static_cast<size_t>(TStatement::Count)>& StatementTable();
// The function rows in the order they are tried (name and argument count must both match).
const std::array<TFunctionRow, static_cast<size_t>(TFunction::Count)>& FunctionTable();

// What a function hands back: its result text (quoted for texts), whether its arguments
// evaluated, and whether it took the call at all (a few functions refuse calls they cannot
// serve, which then count as unrecognised).
struct TFunctionResult {
    std::string value;
    bool ok = true;
    bool recognised = true;
    // Set when `value` is a number text that reads exactly as `number`.
    bool exact = false;
    double number = 0;
    // Set when `value` is a text result as it is, not in the double quotes that otherwise
    // mark one.
    bool literal = false;
};

using TStatementHandler = std::function<void(TExecute&, const std::string& line, int& cursor)>;
using TFunctionHandler =
    std::function<TFunctionResult(TExecute&, const std::vector<std::string>& arguments)>;
// A function that needs only its arguments' values. They arrive evaluated left to right,
// stopping at the first that fails (the values not reached are empty); `ok` tells whether all
// of them evaluated, and the function may take the values over. The compiled evaluator hands
// them over without going through the argument texts.
using TValueFunction = TFunctionResult (*)(TExecute&, TArguments values, bool ok);

// The handlers bound to the rows. Each subsystem binds its own rows when the program wires
// itself up; a row left unbound is passed over.
class TDispatch {
public:
    void Bind(TStatement row, TStatementHandler handler);
    void Bind(TFunction row, TFunctionHandler handler);
    void BindValues(TFunction row, TValueFunction function);
    const TStatementHandler& Handler(TStatement row) const {
        return m_statements[static_cast<size_t>(row)];
    }
    const TFunctionHandler& Handler(TFunction row) const {
        return m_functions[static_cast<size_t>(row)];
    }
    // Null unless the row was bound with BindValues.
    TValueFunction ValueFunction(TFunction row) const {
        return m_valueFunctions[static_cast<size_t>(row)];
    }

    // A statement that works on one module object, which the caller keeps alive as long as
    // this table.
    template <typename TModule>
    void Bind(TStatement row, void (*handler)(TExecute&, const std::string& line, TModule&),
              TModule& module) {
        Bind(row, [&module, handler](TExecute& run, const std::string& line, int&) {
            handler(run, line, module);
        });
    }

private:
    std::array<TStatementHandler, static_cast<size_t>(TStatement::Count)> m_statements;
    std::array<TFunctionHandler, static_cast<size_t>(TFunction::Count)> m_functions;
    std::array<TValueFunction, static_cast<size_t>(TFunction::Count)> m_valueFunctions{};
};

}  // namespace korvane::engine
