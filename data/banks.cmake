# The factory banks: the patch designer (tools/patchdesigner) writes the twelve
# K1 bank dumps and the PHm singles at build time; each file is compiled into
# k1data as k1data::sysex_<name>.
set(DARVELLO_BANK_DIR ${CMAKE_CURRENT_BINARY_DIR}/banks)
set(DARVELLO_BANKS K1INT A101 A102 A103 A104 A105 A200 E101 E102 J101 J102 J103 PHm)

set(bank_files)
foreach(bank ${DARVELLO_BANKS})
  list(APPEND bank_files ${DARVELLO_BANK_DIR}/${bank}.syx)
endforeach()

add_custom_command(OUTPUT ${bank_files}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DARVELLO_BANK_DIR}
  COMMAND patchdesigner ${DARVELLO_BANK_DIR}
  DEPENDS patchdesigner
  COMMENT "Designing the factory banks"
  VERBATIM)

foreach(bank ${DARVELLO_BANKS})
  darvello_embed(k1data sysex_${bank} ${DARVELLO_BANK_DIR}/${bank}.syx)
endforeach()
