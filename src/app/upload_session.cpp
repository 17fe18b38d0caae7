#include "app/upload_session.h"

namespace tvx {

namespace {

constexpr unsigned kHighestComponentPort = 16;

EventLoop* loopOrUi(EventLoop* loop) {
  return loop != nullptr ? loop : UiEventLoop();
}

}  // namespace

UploadSession::UploadSession(BuildLog& log, EventLoop* loop)
    : m_log(log), m_engine(*this, m_uart, loopOrUi(loop)) {
  m_uart.pw_Name("PcUart1");
  ApplyStoredPcUart1Settings(m_uart);
  m_uart.pw_EventLoop(loopOrUi(loop));
}

UploadSession::~UploadSession() = default;

void UploadSession::prepareHeader(bool libraryFound) {
  if (libraryFound) {
    m_engine.writeHeaderFixedBytes();
  }
}

void UploadSession::setPort(const platform::PortName& port) {
  if (!port.number) {
    m_engine.setPortPath(port.path);
    return;
  }
  if (*port.number > kHighestComponentPort) {
    if (const auto device = platform::CurrentPortMap().resolve(*port.number)) {
      m_engine.setPortPath(*device);
      return;
    }
  }
  m_engine.setPortNumber(*port.number);
}

void UploadSession::abort() {
  if (m_engine.busy()) {
    m_engine.Abort();
  }
}

void UploadSession::setButtonCaption(const std::string& caption) {
  if (m_view != nullptr) {
    m_view->setButtonCaption(caption);
  }
}

void UploadSession::setProgressMaximum(int maximum) {
  if (m_view != nullptr) {
    m_view->setProgressMaximum(maximum);
  }
}

void UploadSession::setProgressPosition(int position) {
  if (m_view != nullptr) {
    m_view->setProgressPosition(position);
  }
}

void UploadSession::stateChanged() {
  if (m_view != nullptr) {
    m_view->stateChanged();
  }
}

}  // namespace tvx
