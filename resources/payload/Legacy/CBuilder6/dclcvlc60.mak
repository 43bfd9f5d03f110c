# ---------------------------------------------------------------------------
# C++Builder 6 makefile: Corvane library design-time package.
# Build with: make -fdclcvlc60.mak
# ---------------------------------------------------------------------------
!if !$d(BCB)
BCB = $(MAKEDIR)\..
!endif

VERSION = BCB.06
PROJECT = dclcvlc60.bpl
OBJFILES = dclcvlc60.obj \
    ..\..\Source\cvlReg.obj \
    ..\..\Source\cvlPropEditors.obj \
    ..\..\Source\cvlSettingsEditor.obj
RESFILES = dclcvlc60.res
PACKAGES = designide.bpi cvlc60.bpi
PATHCPP = .;
PATHPAS = .;..\..\Source
PATHRC = .;..\..\Source
SYSDEFINES = NO_STRICT;_RTLDLL;USEPACKAGES
INCLUDEPATH = $(BCB)\include;$(BCB)\include\vcl;..\..\Source
LIBPATH = $(BCB)\lib\obj;$(BCB)\lib;..\..\Source

CFLAG1 = -O2 -Hc -Vx -Ve -X- -a8 -b- -k- -vi -c -tWM -D$(SYSDEFINES)
PFLAGS = -U$(PATHPAS) -I$(INCLUDEPATH) -$Y- -$L- -$D- -v -JPHNE -M
RFLAGS = -i$(INCLUDEPATH)
LFLAGS = -L$(LIBPATH) -D"Corvane library design-time package" -aa -Tpp -Gpd -x -Gn -Gl -Gi
ALLOBJ = c0pkg32.obj $(PACKAGES) Memmgr.Lib sysinit.obj $(OBJFILES)
ALLRES = $(RESFILES)
ALLLIB = import32.lib cp32mti.lib

BCC32 = $(BCB)\BIN\bcc32.exe
DCC32 = $(BCB)\BIN\dcc32.exe
BRCC32 = $(BCB)\BIN\brcc32.exe
LINKER = $(BCB)\BIN\ilink32.exe

.autodepend

$(PROJECT): $(OBJFILES) $(RESFILES)
    $(LINKER) @&&!
    $(LFLAGS) +
    $(ALLOBJ), +
    $(PROJECT),, +
    $(ALLLIB), +
    , +
    $(ALLRES)
!

.pas.hpp:
    $(DCC32) $(PFLAGS) {$< }

.pas.obj:
    $(DCC32) $(PFLAGS) {$< }

.cpp.obj:
    $(BCC32) $(CFLAG1) -n$(@D) {$< }

.rc.res:
    $(BRCC32) $(RFLAGS) -fo$@ $<
