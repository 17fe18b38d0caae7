#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serial/custom_uart.h"
#include "serial/pc_uart.h"
#include "util/diagnostic_sink.h"
#include "util/platform_exception.h"

using namespace YVclCtrl;
using YVclUtil::RecordingDiagnosticSink;
using YVclUtil::ScopedDiagnosticSink;

namespace {

class UartPropertyTest : public ::testing::Test {
 protected:
  UartPropertyTest() : m_guard(m_sink) { m_uart.pw_Name("PcUart1"); }

  // The texts of the boxes shown since the last call; each must carry the component's name.
  std::vector<std::string> takeMessages() {
    std::vector<std::string> texts;
    for (const auto& box : m_sink.boxes()) {
      EXPECT_EQ(box.caption, "PcUart1");
      texts.push_back(box.text);
    }
    m_sink.clear();
    return texts;
  }

  RecordingDiagnosticSink m_sink;
  ScopedDiagnosticSink m_guard;
  KwxCtrl::TPcUart m_uart;
};

using Messages = std::vector<std::string>;

}  // namespace

TEST_F(UartPropertyTest, DefaultsAfterConstruction) {
  EXPECT_EQ(m_uart.pr_UartPortNumber(), 1u);
  EXPECT_EQ(m_uart.pr_UartBaud(), 9600u);
  EXPECT_EQ(m_uart.pr_UartBitsPerByte(), 8u);
  EXPECT_EQ(m_uart.pr_UartParityBit(), upb_None);
  EXPECT_EQ(m_uart.pr_UartStopBits(), usb_1bit);
  EXPECT_EQ(m_uart.pr_FlowCtrlStyle(), fcs_None);
  EXPECT_EQ(m_uart.pr_FlowCtrlHwRxd(), fchr_None);
  EXPECT_EQ(m_uart.pr_FlowCtrlHwTxd(), fcht_None);
  EXPECT_EQ(m_uart.pr_SysUartWriteStyle(), suws_WriteViaQueue);
  EXPECT_EQ(m_uart.pr_SysUartTxdQueueSize(), 1024u);
  EXPECT_EQ(m_uart.pr_SysUartRxdQueueSize(), 1024u);
  EXPECT_EQ(m_uart.pr_SysUartRxdIntervalTimeout(), 3u);
  EXPECT_EQ(m_uart.pr_RxdFilter_Style(), rfs_None);
  EXPECT_EQ(m_uart.pr_RxdFilter_DelimiterChar(), '\n');
  EXPECT_EQ(m_uart.pr_RxdFilter_BytesOfPacket(), 1u);
  EXPECT_FALSE(m_uart.pr_Opened());
  EXPECT_TRUE(m_uart.pr_LastErrMsg().empty());
  EXPECT_FALSE(m_uart.pr_OnTxdEmpty());
  EXPECT_TRUE(takeMessages().empty());
}

TEST_F(UartPropertyTest, NumberBaudAndByteSizeRefuseValuesOutOfRange) {
  m_uart.pw_UartPortNumber(16);
  m_uart.pw_UartPortNumber(17);
  EXPECT_EQ(m_uart.pr_UartPortNumber(), 16u);
  m_uart.pw_UartPortNumber(0);
  EXPECT_EQ(m_uart.pr_UartPortNumber(), 16u);
  EXPECT_EQ(takeMessages(), (Messages{"Invalid value !!!", "Invalid value !!!"}));

  // A refused rate does not keep the old one: it falls back to 9600.
  m_uart.pw_UartBaud(115200);
  m_uart.pw_UartBaud(200);
  EXPECT_EQ(m_uart.pr_UartBaud(), 9600u);
  m_uart.pw_UartBaud(921601);
  EXPECT_EQ(m_uart.pr_UartBaud(), 9600u);
  m_uart.pw_UartBaud(300);
  EXPECT_EQ(m_uart.pr_UartBaud(), 300u);
  m_uart.pw_UartBaud(921600);
  EXPECT_EQ(m_uart.pr_UartBaud(), 921600u);
  EXPECT_EQ(takeMessages(),
            (Messages{"Invalid or unsupported value !!!", "Invalid or unsupported value !!!"}));

  m_uart.pw_UartBitsPerByte(7);
  m_uart.pw_UartBitsPerByte(6);
  m_uart.pw_UartBitsPerByte(9);
  EXPECT_EQ(m_uart.pr_UartBitsPerByte(), 7u);
  EXPECT_EQ(takeMessages(), (Messages{"Invalid value !!!", "Invalid value !!!"}));
}

TEST_F(UartPropertyTest, FlowControlLinesFollowTheStyle) {
  const std::string refused = "Invalid selection !!!\n Because FlowCtrlStyle != fcs_Hardware";
  m_uart.pw_FlowCtrlHwTxd(fcht_DSR);
  m_uart.pw_FlowCtrlHwRxd(fchr_RTS);
  EXPECT_EQ(m_uart.pr_FlowCtrlHwTxd(), fcht_None);
  EXPECT_EQ(m_uart.pr_FlowCtrlHwRxd(), fchr_None);
  EXPECT_EQ(takeMessages(), (Messages{refused, refused}));

  m_uart.pw_FlowCtrlStyle(fcs_Hardware);
  EXPECT_EQ(m_uart.pr_FlowCtrlHwTxd(), fcht_CTS);
  EXPECT_EQ(m_uart.pr_FlowCtrlHwRxd(), fchr_None);
  m_uart.pw_FlowCtrlHwRxd(fchr_DTR);
  m_uart.pw_FlowCtrlHwTxd(fcht_DSR_CTS);
  EXPECT_EQ(m_uart.pr_FlowCtrlHwRxd(), fchr_DTR);
  EXPECT_EQ(m_uart.pr_FlowCtrlHwTxd(), fcht_DSR_CTS);

  m_uart.pw_FlowCtrlStyle(fcs_None);
  EXPECT_EQ(m_uart.pr_FlowCtrlHwTxd(), fcht_None);
  EXPECT_EQ(m_uart.pr_FlowCtrlHwRxd(), fchr_None);
  EXPECT_TRUE(takeMessages().empty());
}

TEST_F(UartPropertyTest, QueueSizesAndPacketSizeKeepTheirLimits) {
  m_uart.pw_SysUartTxdQueueSize(8192);
  m_uart.pw_SysUartTxdQueueSize(1000);
  EXPECT_EQ(m_uart.pr_SysUartTxdQueueSize(), 1024u);
  m_uart.pw_SysUartRxdQueueSize(4096);
  m_uart.pw_SysUartRxdQueueSize(100);
  EXPECT_EQ(m_uart.pr_SysUartRxdQueueSize(), 1024u);
  EXPECT_EQ(takeMessages(),
            (Messages{"Invalid value !!!\n Because SysUartTxdQueueSize must >= 1024",
                      "Invalid value !!!\n Because SysUartRxdQueueSize must >= 1024"}));

  m_uart.pw_RxdFilter_BytesOfPacket(5);
  m_uart.pw_RxdFilter_BytesOfPacket(0);
  EXPECT_EQ(m_uart.pr_RxdFilter_BytesOfPacket(), 1u);
  m_uart.pw_RxdFilter_BytesOfPacket(1024);
  m_uart.pw_RxdFilter_BytesOfPacket(1025);
  EXPECT_EQ(m_uart.pr_RxdFilter_BytesOfPacket(), 1024u);
  EXPECT_EQ(takeMessages(), (Messages{"Invalid value !!!\n Because this value must >= 1",
                                      "Invalid value \nBecause great then SysUartRxdQueueSize"}));
  m_uart.pw_SysUartRxdQueueSize(2048);
  m_uart.pw_RxdFilter_BytesOfPacket(2048);
  EXPECT_EQ(m_uart.pr_RxdFilter_BytesOfPacket(), 2048u);
  EXPECT_TRUE(takeMessages().empty());
}

TEST_F(UartPropertyTest, AClosedPortRefusesToSendAndToReadItsModemLines) {
  const char text[] = "x";
  EXPECT_EQ(m_uart.SendData(1, text), usr_NotOpen);
  EXPECT_EQ(m_uart.SendData_printf("%d", 5), usr_NotOpen);
  EXPECT_EQ(m_uart.SendTxtFile("/nonexistent", 0), usr_NotOpen);
  EXPECT_TRUE(m_uart.Close());
  try {
    (void)m_uart.pr_RiState();
    FAIL() << "no exception";
  } catch (const tvx::platform::Exception& error) {
    EXPECT_STREQ(error.what(),
                 "Illegal property access, because TCustomUart not in opened state !!!");
  }
  EXPECT_THROW((void)m_uart.pr_CdState(), tvx::platform::Exception);
  EXPECT_THROW((void)m_uart.pr_DsrState(), tvx::platform::Exception);
  EXPECT_THROW((void)m_uart.pr_CtsState(), tvx::platform::Exception);
}

TEST(PcUartTest, IsOwnedAndReleasedByItsOwner) {
  tvx::platform::TComponent form;
  auto* uart = new KwxCtrl::TPcUart(&form);
  ASSERT_EQ(form.pr_Components().size(), 1u);
  EXPECT_EQ(form.pr_Components()[0], uart);
  // The form's destructor deletes the port; the sanitizers catch a leak or a double delete.
}
