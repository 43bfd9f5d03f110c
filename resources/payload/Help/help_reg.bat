@echo off
rem Registers the help of Corvane library for RAD Studio 2006 and later.
rem The setup program runs this file from the Help folder of the library.
rem
rem 1. The help collection and its index are recorded under the library's
rem    product key, where the design-time editors look them up.
rem 2. Where the Microsoft Help 2 runtime is installed, reghelp.js registers
rem    the collection with it, as described by cvl_install.xml.
setlocal
set CVL_HELP=%~dp0
set CVL_KEY=HKLM\Software\Brindlecraft\Corvane library\Help

call :setvalue Collection "%CVL_HELP%cvl.hxs"
call :setvalue Index "%CVL_HELP%cvl.hxi"
call :setvalue WinHelp "%CVL_HELP%cvlib.hlp"

if exist "%CommonProgramFiles%\Microsoft Shared\Help\hxds.dll" (
    cscript //nologo //B "%CVL_HELP%reghelp.js" /register "%CVL_HELP%cvl_install.xml"
)
endlocal
goto :eof

rem The setup program is a 32-bit program and keeps its key in the 32-bit
rem view of the registry; reg.exe of Windows XP does not know /reg:32.
:setvalue
reg add "%CVL_KEY%" /v %1 /t REG_SZ /d %2 /f /reg:32 >nul 2>&1 || reg add "%CVL_KEY%" /v %1 /t REG_SZ /d %2 /f >nul 2>&1
goto :eof
