#include "ctl/mqtt_publisher.h"

#include <mosquitto.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <optional>

namespace kxlt::ctl {

namespace {

using namespace std::chrono_literals;
using std::chrono::ceil;
using std::chrono::milliseconds;

constexpr int kQos = 1;
constexpr bool kRetain = true;
constexpr int kKeepAliveSeconds = 30;
constexpr std::chrono::seconds kFirstRetry = 1s;
constexpr std::chrono::seconds kLastRetry = 30s;
constexpr milliseconds kStopWait = 2s;
// The library sends its keep-alive pings from mosquitto_loop_misc(), which needs calling often.
constexpr milliseconds kLongestWait = 1s;

const QByteArray kOnline = "online";
const QByteArray kOffline = "offline";

// mosquitto_lib_init() counts its calls and is not thread-safe; a static runs it once, and the
// clean-up at exit.
void initialiseLibrary()
{
    static const struct Library {
        Library() { mosquitto_lib_init(); }
        ~Library() { mosquitto_lib_cleanup(); }
    } library;
}

const char* orNull(const QByteArray& text) { return text.isEmpty() ? nullptr : text.constData(); }

} // namespace

MqttPublisher::MqttPublisher(const MqttSettings& settings)
    : settings_(settings), prefix_(settings.topicPrefix.toUtf8()),
      wakeFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)), retryDelay_(kFirstRetry)
{
    initialiseLibrary();
    thread_ = std::thread(&MqttPublisher::run, this);
}

MqttPublisher::~MqttPublisher()
{
    stop();
    close(wakeFd_);
}

void MqttPublisher::publishReading(int address, const QByteArray& json)
{
    const std::lock_guard lock(mutex_);
    setLatest(boardTopic(address), json);
}

void MqttPublisher::publishState(int address, bool answering)
{
    const QByteArray topic = boardTopic(address) + "/state";
    const QByteArray state = answering ? "answering" : "silent";
    const std::lock_guard lock(mutex_);
    const auto known = topics_.find(topic);
    if (known == topics_.end() || known->second.payload != state)
        setLatest(topic, state);
}

void MqttPublisher::stop()
{
    {
        const std::lock_guard lock(mutex_);
        if (stopping_)
            return;
        setLatest(prefix_ + "/status", kOffline);
        stopping_ = true;
    }
    thread_.join();
}

QByteArray MqttPublisher::boardTopic(int address) const
{
    return prefix_ + '/' + QByteArray::number(address);
}

// With mutex_ held.
void MqttPublisher::setLatest(const QByteArray& topic, const QByteArray& payload)
{
    if (stopping_)
        return;
    Topic& latest = topics_[topic];
    latest.payload = payload;
    latest.pending = true;
    eventfd_write(wakeFd_, 1);
}

// The thread owns the client from its creation to its end, so the library is only ever called
// from here.
void MqttPublisher::run()
{
    client_ = mosquitto_new(orNull(settings_.clientId.toUtf8()), true, this);
    if (!client_)
        return;
    // Publishing only queues; serve() writes when poll() says the socket takes more.
    mosquitto_threaded_set(client_, true);
    mosquitto_will_set(client_, (prefix_ + "/status").constData(), int(kOffline.size()),
                       kOffline.constData(), kQos, kRetain);
    mosquitto_username_pw_set(client_, orNull(settings_.userName.toUtf8()),
                              orNull(settings_.password.toUtf8()));
    mosquitto_connect_callback_set(client_, [](mosquitto*, void* self, int result) {
        static_cast<MqttPublisher*>(self)->connected(result);
    });
    mosquitto_disconnect_callback_set(client_, [](mosquitto*, void* self, int) {
        static_cast<MqttPublisher*>(self)->connected_ = false;
    });
    mosquitto_publish_callback_set(client_, [](mosquitto*, void* self, int id) {
        static_cast<MqttPublisher*>(self)->acknowledged(id);
    });
    serveUntilStopped();
    // Leaving without DISCONNECT has the broker publish the will in place of what it missed.
    if (connected_ && allAcknowledged()) {
        mosquitto_disconnect(client_);
        mosquitto_loop_write(client_, 1);
    }
    mosquitto_destroy(client_);
}

void MqttPublisher::serveUntilStopped()
{
    std::optional<Clock::time_point> stopBy;
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (!stopBy && stopRequested())
            stopBy = now + kStopWait;
        if (stopBy && (!connected_ || allAcknowledged() || now >= *stopBy))
            return;
        milliseconds timeout = kLongestWait;
        if (connected_) {
            sendPending();
        } else {
            if (now >= nextAttempt_)
                attemptConnection(now);
            timeout = std::min(timeout, ceil<milliseconds>(nextAttempt_ - now));
        }
        if (stopBy)
            timeout = std::min(timeout, ceil<milliseconds>(*stopBy - now));
        serve(std::max(timeout, 0ms));
    }
}

// An attempt still waiting for the broker is given up for the next one; a refusal shows in the
// result or later on the socket, and either way the next attempt waits its turn.
void MqttPublisher::attemptConnection(Clock::time_point now)
{
    mosquitto_connect_async(client_, settings_.host.toUtf8().constData(), settings_.port,
                            kKeepAliveSeconds);
    // A process started meanwhile would otherwise hold the connection open past a stop.
    if (const int socket = mosquitto_socket(client_); socket >= 0)
        fcntl(socket, F_SETFD, FD_CLOEXEC);
    nextAttempt_ = now + retryDelay_;
    retryDelay_ = std::min(retryDelay_ * 2, kLastRetry);
}

void MqttPublisher::serve(milliseconds timeout)
{
    const int socket = mosquitto_socket(client_);
    const short events = POLLIN | (mosquitto_want_write(client_) ? POLLOUT : 0);
    // poll() passes over a negative descriptor: without a socket only a wake-up or time ends it.
    std::array<pollfd, 2> watched{{{wakeFd_, POLLIN, 0}, {socket, events, 0}}};
    if (poll(watched.data(), watched.size(), int(timeout.count())) > 0) {
        eventfd_t wakeUps = 0;
        if (watched[0].revents != 0)
            eventfd_read(wakeFd_, &wakeUps);
        if (watched[1].revents & (POLLIN | POLLERR | POLLHUP))
            mosquitto_loop_read(client_, 1);
        // Reading may have found the connection closed.
        if ((watched[1].revents & POLLOUT) && mosquitto_socket(client_) == socket)
            mosquitto_loop_write(client_, 1);
    }
    mosquitto_loop_misc(client_);
}

void MqttPublisher::sendPending()
{
    const std::lock_guard lock(mutex_);
    for (auto& [name, topic] : topics_) {
        if (!topic.pending || topic.unacknowledged != 0)
            continue;
        int id = 0;
        // A topic or payload the library refuses would be refused again: it is dropped.
        if (mosquitto_publish(client_, &id, name.constData(), int(topic.payload.size()),
                              topic.payload.constData(), kQos, kRetain) == MOSQ_ERR_SUCCESS)
            topic.unacknowledged = id;
        topic.pending = false;
    }
}

void MqttPublisher::connected(int result)
{
    // A refusal: the library reports the connection closed next.
    if (result != 0)
        return;
    connected_ = true;
    retryDelay_ = kFirstRetry;
    nextAttempt_ = Clock::now() + kFirstRetry;
    const std::lock_guard lock(mutex_);
    Topic& status = topics_[prefix_ + "/status"];
    status.payload = stopping_ ? kOffline : kOnline;
    // A broker restarted without persistence has forgotten everything retained.
    for (auto& [name, topic] : topics_)
        topic.pending = true;
}

void MqttPublisher::acknowledged(int id)
{
    const std::lock_guard lock(mutex_);
    for (auto& [name, topic] : topics_) {
        if (topic.unacknowledged == id)
            topic.unacknowledged = 0;
    }
}

bool MqttPublisher::allAcknowledged()
{
    const std::lock_guard lock(mutex_);
    return std::none_of(topics_.begin(), topics_.end(), [](const auto& entry) {
        return entry.second.pending || entry.second.unacknowledged != 0;
    });
}

bool MqttPublisher::stopRequested()
{
    const std::lock_guard lock(mutex_);
    return stopping_;
}

} // namespace kxlt::ctl
