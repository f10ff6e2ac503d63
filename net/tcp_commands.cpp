#include "net/tcp_commands.h"

#include <exception>
#include <string>
#include <vector>

#include "engine/execute.h"
#include "engine/function_result.h"
#include "engine/number_text.h"
#include "engine/text_utils.h"
#include "net/tcp_endpoints.h"

namespace korvane::net {

namespace {

using engine::TExecute;
using TArgs = std::vector<std::string>;

// Splits the statement line; true when it names `name` (the caller checks the count).
bool Names(const std::string& line, std::string_view name, TArgs& arguments) {
    std::string called;
    engine::SplitCall(line, called, arguments);
    return called == name;
}

TArgs Evaluated(TExecute& run, const TArgs& texts) {
    TArgs values;
    run.EvaluateArguments(texts, values);
    return values;
}

// An unexpected failure inside an action (out of memory, say) becomes the command's own
// report instead of ending the run.
template <typename TAction>
bool Guarded(TAction&& action) {
    try {
        action();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void TcpOpen(TExecute& run, const std::string& line, TTcpClient& client) {
    TArgs texts;
    if (!Names(line, "tcp_open", texts) || texts.size() != 2) return;
    const TArgs v = Evaluated(run, texts);
    run.ClearError();
    const std::string target = v[0] + ":" + v[1];
    TTcpClient::TConnect outcome = TTcpClient::TConnect::Unresolved;
    if (!Guarded([&] { outcome = client.Connect(v[0], v[1], run.WaitStep()); })) {
        outcome = TTcpClient::TConnect::Unresolved;
    }
    switch (outcome) {
        case TTcpClient::TConnect::Started:
            run.LogLine("Client socket open to " + target);
            return;
        case TTcpClient::TConnect::AlreadyOpen:
            // The script asked for what it has: the connection and its data stay as they are.
            run.LogLine("Client socket already open to " + target);
            return;
        case TTcpClient::TConnect::Busy:
        case TTcpClient::TConnect::Unresolved:
            break;
    }
    run.LogLine("Error connecting to " + target);
    run.SetError("tcp_open: error opening the socket.");
}

void TcpClose(TExecute& run, const std::string& line, TTcpClient& client) {
    TArgs texts;
    if (!Names(line, "tcp_close", texts) || !texts.empty()) return;
    run.ClearError();
    if (!Guarded([&] {
            client.Close();
            client.EmptyBuffer();
        })) {
        run.SetError("tcp_close: error closing the socket client.");
        return;
    }
    run.LogLine("Socket client closed");
}

void TcpWrite(TExecute& run, const std::string& line, TTcpClient& client) {
    TArgs texts;
    if (!Names(line, "tcp_write", texts) || texts.size() != 1) return;
    const TArgs v = Evaluated(run, texts);
    run.ClearError();
    if (!client.Connected()) {
        run.LogLine("Write error, not connected.");
        run.SetError("tcp_write: error writing to socket client.");
        return;
    }
    bool sent = false;
    if (!Guarded([&] { sent = client.Send(v[0]); }) || !sent) {
        run.LogLine("Write error,socket client.");
        run.SetError("tcp_write: error writing to socket client.");
    }
}

void TcpFlush(TExecute& run, const std::string& line, TTcpClient& client) {
    TArgs texts;
    if (!Names(line, "tcp_flush", texts) || texts.size() > 1) return;
    if (texts.empty()) {
        run.ClearError();
        if (!Guarded([&] { client.EmptyBuffer(); })) {
            run.SetError("tcp_flush: error flushing socket client buffer.");
            return;
        }
        run.LogLine("Socket client buffer flushed");
        return;
    }
    const TArgs v = Evaluated(run, texts);
    run.ClearError();
    const auto count = engine::StrictInt(v[0]);
    if (!count || !Guarded([&] { client.RemoveReceived(*count); })) {
        run.LogLine("Socket client buffer not flushed");
        run.SetError("tcp_flush: error flushing socket client buffer.");
        return;
    }
    run.LogLine("Socket client buffer flushed");
}

void TcpSrvOpen(TExecute& run, const std::string& line, TTcpServer& server) {
    TArgs texts;
    if (!Names(line, "tcp_srv_open", texts) || texts.size() != 1) return;
    const TArgs v = Evaluated(run, texts);
    run.ClearError();
    const auto port = engine::StrictInt(v[0]);
    bool listening = false;
    // Port 0 would listen on a port the system picks and the script cannot learn.
    if (port && *port != 0 && Guarded([&] { listening = server.Listen(*port); }) && listening) {
        run.LogLine("Socket server listen on port : " + v[0]);
        return;
    }
    run.LogLine("Socket server not started");
    run.SetError("tcp_srv_open: error starting socket server.");
}

void TcpSrvClose(TExecute& run, const std::string& line, TTcpServer& server) {
    TArgs texts;
    if (!Names(line, "tcp_srv_close", texts) || !texts.empty()) return;
    run.ClearError();
    if (!Guarded([&] {
            server.Close();
            server.EmptyBuffer();
        })) {
        run.SetError("tcp_srv_close: error stoping socket server.");
        return;
    }
    run.LogLine("Socket server stoped");
}

void TcpSrvWrite(TExecute& run, const std::string& line, TTcpServer& server) {
    TArgs texts;
    if (!Names(line, "tcp_srv_write", texts) || texts.size() != 1) return;
    const TArgs v = Evaluated(run, texts);
    run.ClearError();
    bool sent = false;
    if (!Guarded([&] { sent = server.SendToFirstClient(v[0]); }) || !sent) {
        run.LogLine("Write error,server socket.");
        run.SetError("tcp_srv_write: error writing to server socket.");
    }
}

void TcpSrvFlush(TExecute& run, const std::string& line, TTcpServer& server) {
    TArgs texts;
    if (!Names(line, "tcp_srv_flush", texts) || texts.size() > 1) return;
    if (texts.empty()) {
        run.ClearError();
        if (!Guarded([&] { server.EmptyBuffer(); })) {
            run.LogLine("Socket server buffer not flushed");
            run.SetError("tcp_srv_flush: error flushing socket server buffer.");
            return;
        }
        run.LogLine("Socket server buffer flushed");
        return;
    }
    const TArgs v = Evaluated(run, texts);
    run.ClearError();
    const auto count = engine::StrictInt(v[0]);
    if (!count || !Guarded([&] { server.RemoveReceived(*count); })) {
        run.LogLine("Socket buffer not flushed");
        run.SetError("tcp_srv_flush: error flushing socket buffer.");
        return;
    }
    run.LogLine("Socket server buffer flushed");
}

// The four functions read state only; each clears `error` and always gives a text.
template <typename TRead>
engine::TFunctionResult StateText(TExecute& run, std::string_view failure,
                                  std::string_view fallback, TRead&& read) {
    run.ClearError();
    std::string text;
    if (!Guarded([&] { text = read(); })) {
        run.SetError(failure);
        return engine::TextResult(fallback, true);
    }
    return engine::TextResult(text, true);
}

}  // namespace

void BindTcpCommands(engine::TDispatch& dispatch, TTcpEndpoints& endpoints) {
    using S = engine::TStatement;
    using F = engine::TFunction;
    TTcpClient& client = endpoints.Client();
    TTcpServer& server = endpoints.Server();
    auto onClient = [&client](void (*command)(TExecute&, const std::string&, TTcpClient&)) {
        return [&client, command](TExecute& run, const std::string& line, int&) {
            command(run, line, client);
        };
    };
    auto onServer = [&server](void (*command)(TExecute&, const std::string&, TTcpServer&)) {
        return [&server, command](TExecute& run, const std::string& line, int&) {
            command(run, line, server);
        };
    };
    dispatch.Bind(S::TcpSrvOpen, onServer(TcpSrvOpen));
    dispatch.Bind(S::TcpOpen, onClient(TcpOpen));
    dispatch.Bind(S::TcpSrvClose, onServer(TcpSrvClose));
    dispatch.Bind(S::TcpClose, onClient(TcpClose));
    dispatch.Bind(S::TcpSrvFlush, onServer(TcpSrvFlush));
    dispatch.Bind(S::TcpFlush, onClient(TcpFlush));
    dispatch.Bind(S::TcpSrvWrite, onServer(TcpSrvWrite));
    dispatch.Bind(S::TcpWrite, onClient(TcpWrite));

    dispatch.Bind(F::TcpSrvRead, [&server](TExecute& run, const TArgs&) {
        return StateText(run, "tcp_srv_read: error reading from socket buffer.", "",
                         [&] { return server.Received(); });
    });
    dispatch.Bind(F::TcpRead, [&client](TExecute& run, const TArgs&) {
        return StateText(run, "tcp_read: error reading from socket client buffer.", "",
                         [&] { return client.Received(); });
    });
    dispatch.Bind(F::TcpSrvHasclient, [&server](TExecute& run, const TArgs&) {
        return StateText(run, "tcp_srv_hasclient: error reading socket server state.", "",
                         [&] { return server.FirstClientAddress(); });
    });
    dispatch.Bind(F::TcpIsconnected, [&client](TExecute& run, const TArgs&) {
        return StateText(run, "tcp_isconnected: error reading socket client state.", "0",
                         [&] { return std::string(client.Connected() ? "1" : "0"); });
    });
}

}  // namespace korvane::net
