# Runs the real program from an installation that lacks CGI_URL: it must stop
# with the file error on stderr and a failing exit code, not crash or hang.
# Expects -DPROGRAM=<tovalo> -DWORK=<scratch folder>.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/bin ${WORK}/QDAT)
file(COPY ${PROGRAM} DESTINATION ${WORK}/bin)
file(WRITE ${WORK}/bin/Tovalo20.ini "[Vender]\n")
get_filename_component(name ${PROGRAM} NAME)
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=${WORK}/config
          ${WORK}/bin/${name}
  RESULT_VARIABLE rc
  ERROR_VARIABLE err
  TIMEOUT 20)
if(rc EQUAL 0 OR NOT rc MATCHES "^[0-9]+$")
  message(FATAL_ERROR "expected a plain failing exit code, got '${rc}'")
endif()
if(NOT err MATCHES "CGI_URL: ファイルが見つかりません")
  message(FATAL_ERROR "expected the file error on stderr, got:\n${err}")
endif()
