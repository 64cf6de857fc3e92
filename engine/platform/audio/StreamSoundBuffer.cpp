#include "engine/platform/audio/StreamSoundBuffer.h"

#include "engine/platform/audio/SampleStream.h"
#include "sys/sound/AudioBuffer.h"

namespace {

constexpr uint32_t DECODE_BYTES = 4096;
// Chunks the writer keeps between itself and the play cursor, seen around the ring.
constexpr int32_t WRITE_LEAD_CHUNKS = 2;

} // namespace

StreamSoundBuffer::~StreamSoundBuffer() {
    m_running = false;
    m_event.set();
    if (m_thread.joinable()) m_thread.join();
    if (m_playing && m_buffer) m_buffer->stop();
}

bool StreamSoundBuffer::initStream(sys::AudioOutput* directSound, SampleStream* stream, uint32_t chunkBytes, bool is3D,
                                   uint32_t chunkCount) {
    if (chunkBytes == 0 || chunkCount < 2) return false;
    m_chunkBytes = chunkBytes;
    m_chunkCount = chunkCount;
    if (!create(directSound, stream, chunkBytes * chunkCount, is3D)) return false;
    m_decodeBuffer.assign(DECODE_BYTES, 0);
    m_wraps = 0;
    m_lastCursor = 0;
    // The stream goes on where the first fill stopped: for a full ring that is
    // chunk 0, to be written once the cursor has played past it.
    m_writeOffset = m_filled % (chunkBytes * chunkCount);
    m_writeChunk = static_cast<int32_t>(m_writeOffset / chunkBytes);
    m_waitMs = 100;
    m_running = true;
    m_thread = std::thread(&StreamSoundBuffer::refillLoop, this);
    return true;
}

void StreamSoundBuffer::refillLoop() {
    while (m_running) {
        m_event.wait(m_waitMs);
        if (m_running && m_playing) fill();
    }
}

void StreamSoundBuffer::fill() {
    uint32_t play = 0;
    uint32_t writeCursor = 0;
    if (!m_buffer->getCurrentPosition(&play, &writeCursor)) return;
    auto chunks = static_cast<int32_t>(m_chunkCount);
    auto playChunk = static_cast<int32_t>(play / m_chunkBytes);
    uint32_t ring = m_chunkBytes * m_chunkCount;
    // One pass of the ring at most, so a round always ends.
    for (uint32_t written = 0; written < ring;) {
        int32_t distance = (chunks - m_writeChunk + playChunk) % chunks;
        if (distance <= WRITE_LEAD_CHUNKS) {
            if (play != writeCursor) return;
            if (m_writeChunk >= chunks - 1) return;
        }
        int32_t n = m_source->read(m_decodeBuffer.data(), static_cast<int32_t>(DECODE_BYTES));
        // An ended or failing stream gives silence, not the ring's old bytes once more.
        if (n > 0) {
            write(m_writeOffset, m_decodeBuffer.data(), static_cast<uint32_t>(n));
        } else {
            n = static_cast<int32_t>(DECODE_BYTES);
            fillSilence(m_writeOffset, DECODE_BYTES);
        }
        m_writeChunk = static_cast<int32_t>(m_writeOffset / m_chunkBytes);
        m_writeOffset = (m_writeOffset + static_cast<uint32_t>(n)) % ring;
        written += static_cast<uint32_t>(n);
    }
}

bool StreamSoundBuffer::play(bool loop) {
    if (!m_buffer) return false;
    m_source->setLoop(loop);
    if (m_playing) return false;
    m_buffer->play(true);
    m_playing = true;
    m_event.set();
    return true;
}

bool StreamSoundBuffer::setLoop(bool loop) {
    if (!m_buffer) return false;
    m_source->setLoop(loop);
    return true;
}

bool StreamSoundBuffer::stop() {
    if (!m_playing) return false;
    m_playing = false;
    m_buffer->stop();
    return true;
}

double StreamSoundBuffer::getPosition() {
    uint32_t play = getPlayCursor();
    if (play < m_lastCursor) ++m_wraps;
    m_lastCursor = play;
    uint32_t bytes = m_wraps * m_chunkBytes * m_chunkCount + play;
    return static_cast<double>(bytes * SECONDS_PER_BYTE);
}

void StreamSoundBuffer::update() {
    if (m_playing) m_event.set();
}
