#include "app/upload_session.h"

#include "app/upload_image_check.h"
#include "upload/upload_texts.h"

namespace tvx {

namespace {

EventLoop* loopOrUi(EventLoop* loop) {
  return loop != nullptr ? loop : UiEventLoop();
}

}  // namespace

UploadSession::UploadSession(BuildLog& log, EventLoop* loop)
    : m_log(log), m_engine(*this, m_uart, loopOrUi(loop)) {
  m_uart.pw_Name("PcUart1");
  ApplyStoredPcUart1Settings(m_uart);
  m_uart.pw_EventLoop(loopOrUi(loop));
  m_engine.setImageVetting(
      [this](const std::vector<std::uint8_t>& image) { return vetImage(image); });
}

UploadSession::~UploadSession() = default;

void UploadSession::prepareHeader(bool libraryFound) {
  if (libraryFound) {
    m_engine.writeHeaderFixedBytes();
  }
}

void UploadSession::setPort(const platform::PortName& port) {
  if (port.number) {
    m_engine.setPortNumber(*port.number);
  } else {
    m_engine.setPortPath(port.path);
  }
}

bool UploadSession::vetImage(const std::vector<std::uint8_t>& image) {
  const std::vector<std::string> reasons = UploadImageProblems(image, m_mem, m_lang);
  if (reasons.empty()) {
    return true;
  }
  m_log.add(std::string(upload_text::kImageFailsChecks.forLanguage(m_lang)));
  for (const std::string& reason : reasons) {
    m_log.add(reason);
  }
  if (m_uploadAnyway && m_uploadAnyway(reasons)) {
    m_log.add(std::string(upload_text::kUploadAnyway.forLanguage(m_lang)));
    return true;
  }
  m_log.add(std::string(upload_text::kImageRefused.forLanguage(m_lang)));
  return false;
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

void UploadSession::noDeviceBehind(unsigned number) {
  if (m_view != nullptr) {
    m_view->noDeviceBehind(number);
  }
}

void UploadSession::stateChanged() {
  if (m_view != nullptr) {
    m_view->stateChanged();
  }
}

}  // namespace tvx
