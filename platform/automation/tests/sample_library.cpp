// The sample type library's text.
#include "platform/automation/tests/sample_library.h"

namespace qap::testing {

std::string SampleLibraryText() {
  return R"(<?xml version="1.0"?>
<!DOCTYPE node PUBLIC "-//freedesktop//DTD D-BUS Object Introspection 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd">
<!-- the sample & its <members> -->
<node name="/org/qap/test/Sample">
  <annotation name="org.qap.TypeLib.Id" value="{7E570000-0000-0000-0000-0000000000C1}"/>
  <annotation name="org.qap.TypeLib.Version" value="1.2"/>
  <annotation name="org.qap.TypeLib.HelpString" value="Sample &amp; Co. &#x263A;"/>
  <annotation name="org.qap.TypeLib.BusName" value="org.qap.test.Sample"/>
  <annotation name="org.qap.TypeLib.CoClass" value="{7E570000-0000-0000-0000-0000000000C5}"/>
  <interface name="org.qap.test.ISample">
    <annotation name="org.qap.TypeLib.Iid" value="{7E570000-0000-0000-0000-0000000000C4}"/>
    <method name="Echo">
      <annotation name="org.qap.TypeLib.DispId" value="1"/>
      <arg name="text" type="s" direction="in"/>
      <arg name="number" type="i" direction="in"/>
      <arg name="echo" type="s" direction="out"/>
    </method>
    <method name="Check">
      <annotation name="org.qap.TypeLib.DispId" value="2"/>
      <annotation name="org.qap.TypeLib.SuccessResult" value="true"/>
      <arg name="what" type="v" direction="in"/>
      <arg name="ok" type="b" direction="out"/>
    </method>
    <method name="Fail">
      <annotation name="org.qap.TypeLib.DispId" value="3"/>
    </method>
    <method name="Fire">
      <annotation name="org.qap.TypeLib.DispId" value="4"/>
      <arg name="value" type="n" direction="in"/>
    </method>
    <method name="Hold">
      <annotation name="org.qap.TypeLib.DispId" value="5"/>
    </method>
    <method name="Announce">
      <annotation name="org.qap.TypeLib.DispId" value="6"/>
      <arg name="headline" type="s" direction="in"/>
    </method>
  </interface>
  <interface name="org.qap.test._SampleEvents">
    <annotation name="org.qap.TypeLib.Iid" value="{7E570000-0000-0000-0000-0000000000E1}"/>
    <annotation name="org.qap.TypeLib.Source" value="true"/>
    <signal name="Notify">
      <annotation name="org.qap.TypeLib.DispId" value="7"/>
      <arg name="value" type="n"/>
    </signal>
  </interface>
  <interface name="org.qap.test._SampleNews">
    <annotation name="org.qap.TypeLib.Iid" value="{7E570000-0000-0000-0000-0000000000E2}"/>
    <annotation name="org.qap.TypeLib.Source" value="true"/>
    <signal name="Headline">
      <annotation name="org.qap.TypeLib.DispId" value="7"/>
      <arg name="text" type="s"/>
    </signal>
  </interface>
</node>
)";
}

}  // namespace qap::testing
