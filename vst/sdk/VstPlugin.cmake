# The VST 2.4 base classes (library k1vst) and the helper that builds a plug-in
# module on them.

set(DARVELLO_VST_DIR ${CMAKE_CURRENT_LIST_DIR})

add_library(k1vst STATIC
  ${DARVELLO_VST_DIR}/audioeffect.cpp
  ${DARVELLO_VST_DIR}/audioeffectStrings.cpp
  ${DARVELLO_VST_DIR}/audioeffectx.cpp
  ${DARVELLO_VST_DIR}/audioeffectxHost.cpp
  ${DARVELLO_VST_DIR}/speakerArrangement.cpp)
target_include_directories(k1vst PUBLIC ${PROJECT_SOURCE_DIR})
set_target_properties(k1vst PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)

# darvello_vst_plugin(<target> SOURCES <files...> [LIBS <targets...>] [OUTPUT_NAME <name>] [INSTALL])
# A loadable VST 2.4 .so (no "lib" prefix) built on k1vst. It exports exactly
# VSTPluginMain, main_plugin and main; everything else stays hidden. The
# sources must define createEffectInstance(). INSTALL puts it in the install
# prefix's lib/vst, where Linux hosts look.
function(darvello_vst_plugin target)
  cmake_parse_arguments(P "INSTALL" "OUTPUT_NAME" "SOURCES;LIBS" ${ARGN})
  set(DARVELLO_VST_DIR ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  add_library(${target} MODULE ${P_SOURCES} ${DARVELLO_VST_DIR}/vstPluginMain.cpp)
  target_link_libraries(${target} PRIVATE k1vst ${P_LIBS})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  if(NOT P_OUTPUT_NAME)
    set(P_OUTPUT_NAME ${target})
  endif()
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    OUTPUT_NAME ${P_OUTPUT_NAME}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    LINK_DEPENDS ${DARVELLO_VST_DIR}/exports.map)
  target_link_options(${target} PRIVATE "-Wl,--version-script=${DARVELLO_VST_DIR}/exports.map")
  # Unresolved symbols fail the link rather than the host's dlopen. Sanitizer
  # builds (ours, or a ThreadSanitizer build given by flags) leave their
  # runtime symbols to the host executable.
  if(NOT DARVELLO_SANITIZE AND NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize=")
    target_link_options(${target} PRIVATE "-Wl,-z,defs")
  endif()
  if(P_INSTALL)
    install(TARGETS ${target} LIBRARY DESTINATION lib/vst)
  endif()
endfunction()

# The widget toolkit's window as a VST 2.4 editor (library k1vstgui).
add_library(k1vstgui STATIC ${DARVELLO_VST_DIR}/aeffguieditor.cpp)
target_include_directories(k1vstgui PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(k1vstgui PUBLIC k1vst k1gui)
set_target_properties(k1vstgui PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
