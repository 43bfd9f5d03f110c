@echo off
rem Removes what help_reg.bat registered. The uninstaller runs this file
rem from the Help folder of the library before it deletes the folder.
setlocal
set CVL_HELP=%~dp0
set CVL_KEY=HKLM\Software\Brindlecraft\Corvane library\Help

if exist "%CommonProgramFiles%\Microsoft Shared\Help\hxds.dll" (
    cscript //nologo //B "%CVL_HELP%reghelp.js" /unregister "%CVL_HELP%cvl_install.xml"
)

rem The product key may already be gone; that is no failure.
reg delete "%CVL_KEY%" /f /reg:32 >nul 2>&1 || reg delete "%CVL_KEY%" /f >nul 2>&1
endlocal
exit /b 0
