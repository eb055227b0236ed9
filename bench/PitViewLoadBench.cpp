// The pit view under load: a generated race day replayed tick by tick from a timer, as the
// program does, with 0 or 32 phones connected to the pit view (plain WebSocket clients on
// threads of their own that read every message). Reports the tick's time (median and p99)
// and, with phones, the time from the tick that decoded a change to each phone's receipt of
// its message (p99 and the worst).

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "analysis/MyCar.h"
#include "pitview/PitViewKey.h"
#include "pitview/PitViewService.h"
#include "settings/SettingsStore.h"
#include "shell/PollLoop.h"
#include "sim/RaceDayGenerator.h"
#include "sim/SimulatedXpress.h"

namespace orvanrx {
namespace {

using Clock = std::chrono::steady_clock;

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1));
    return values[index];
}

// A phone: connects, upgrades, and notes when each text message arrives.
class Phone {
public:
    Phone(quint16 port, const QString& key) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        const QByteArray request =
            "GET /live?key=" + key.toLatin1() +
            " HTTP/1.1\r\nHost: pit\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
            "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n";
        ::send(fd_, request.constData(), request.size(), MSG_NOSIGNAL);
        thread_ = std::thread([this] { Read(); });
    }
    ~Phone() {
        ::shutdown(fd_, SHUT_RDWR);
        thread_.join();
        ::close(fd_);
    }
    std::vector<Clock::time_point> Arrivals() {
        std::lock_guard lock(mutex_);
        return arrivals_;
    }
    bool Greeted() const { return greeted_; }

private:
    void Read() {
        QByteArray pending;
        char buffer[65536];
        bool upgraded = false;
        for (;;) {
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) {
                return;
            }
            const auto now = Clock::now();
            pending.append(buffer, n);
            if (!upgraded) {
                const qsizetype end = pending.indexOf("\r\n\r\n");
                if (end < 0) {
                    continue;
                }
                pending.remove(0, end + 4);
                upgraded = true;
            }
            for (;;) {
                if (pending.size() < 2) {
                    break;
                }
                const int opcode = static_cast<unsigned char>(pending[0]) & 0x0F;
                qint64 length = static_cast<unsigned char>(pending[1]) & 0x7F;
                qsizetype header = 2;
                if (length == 126) {
                    if (pending.size() < 4) {
                        break;
                    }
                    length = (static_cast<unsigned char>(pending[2]) << 8) |
                             static_cast<unsigned char>(pending[3]);
                    header = 4;
                } else if (length == 127) {
                    if (pending.size() < 10) {
                        break;
                    }
                    length = 0;
                    for (int i = 2; i < 10; ++i) {
                        length = (length << 8) | static_cast<unsigned char>(pending[i]);
                    }
                    header = 10;
                }
                if (pending.size() < header + length) {
                    break;
                }
                if (opcode == 0x1) {
                    if (!greeted_) {
                        greeted_ = true;  // the hello: not a tick's message
                    } else {
                        std::lock_guard lock(mutex_);
                        arrivals_.push_back(now);
                    }
                }
                pending.remove(0, header + length);
            }
        }
    }

    int fd_ = -1;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<Clock::time_point> arrivals_;
    std::atomic<bool> greeted_{false};
};

struct NullObserver : PollObserver {};

void BM_DayWithPhones(benchmark::State& state) {
    const int phones = static_cast<int>(state.range(0));
    const RaceDay day = GenerateRaceDay({30, 3, 0.0, false});
    QTemporaryDir dir;
    const SettingsStore settings(dir.filePath(QStringLiteral("OrvanRX.ini")));
    // One of the day's cars is the racer's: its races bring banners and dial-ins too.
    SaveMyCarNumbers(settings, {day.races.at(5).CarL.trimmed()});

    for (auto _ : state) {
        NullObserver views;
        PitViewService pitView(views, settings);
        StatusIndicators indicators;
        ReceiveBuffer buffer;
        std::int16_t venue = 0;
        RunTables tables;
        SimulatedXpress sim(day.steps);
        Receiver receiver(sim, indicators, sim.Clock());
        PollLoop loop(PollLoop::Parts{receiver, buffer, venue, tables, indicators,
                                      pitView.Observer(), sim.Clock(), [] {}});
        pitView.Attach(tables);
        std::vector<Clock::time_point> sent;
        pitView.Feed().SetSend([&](const QString& message) {
            sent.push_back(Clock::now());
            pitView.Server().Broadcast(message);
        });
        if (!pitView.Start(0, QHostAddress::LocalHost)) {
            state.SkipWithError("the pit view cannot listen");
            return;
        }
        std::vector<std::unique_ptr<Phone>> clients;
        for (int i = 0; i < phones; ++i) {
            clients.push_back(std::make_unique<Phone>(pitView.Port(), pitView.Key()));
        }
        QEventLoop wait;
        while (pitView.Server().LiveCount() < phones ||
               !std::all_of(clients.begin(), clients.end(),
                            [](const auto& c) { return c->Greeted(); })) {
            wait.processEvents(QEventLoop::AllEvents, 10);
        }

        std::vector<double> tickUs;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        tick.setInterval(5);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            if (sim.TraceExhausted()) {
                tick.stop();
                wait.quit();
                return;
            }
            const auto start = Clock::now();
            loop.RunPollCycle();
            tickUs.push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        });
        tick.start();
        wait.exec();
        // The last messages on their way.
        const auto settle = Clock::now() + std::chrono::milliseconds(300);
        while (Clock::now() < settle) {
            wait.processEvents(QEventLoop::AllEvents, 10);
        }

        std::vector<double> latencyMs;
        std::size_t missing = 0;
        for (const auto& client : clients) {
            const std::vector<Clock::time_point> arrivals = client->Arrivals();
            missing += sent.size() - std::min(sent.size(), arrivals.size());
            for (std::size_t i = 0; i < std::min(sent.size(), arrivals.size()); ++i) {
                latencyMs.push_back(
                    std::chrono::duration<double, std::milli>(arrivals[i] - sent[i]).count());
            }
        }
        clients.clear();
        state.counters["ticks"] = static_cast<double>(tickUs.size());
        state.counters["tick_p50_us"] = Percentile(tickUs, 0.50);
        state.counters["tick_p99_us"] = Percentile(tickUs, 0.99);
        state.counters["messages"] = static_cast<double>(sent.size());
        state.counters["missing"] = static_cast<double>(missing);
        state.counters["dropped"] = pitView.Server().DroppedCount();
        if (phones > 0) {
            state.counters["msg_p99_ms"] = Percentile(latencyMs, 0.99);
            state.counters["msg_max_ms"] = Percentile(latencyMs, 1.0);
        }
    }
}
BENCHMARK(BM_DayWithPhones)->Arg(0)->Arg(32)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvanrx

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
