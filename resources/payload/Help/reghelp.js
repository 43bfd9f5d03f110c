// reghelp.js - registers or unregisters the Corvane library help with the
// Microsoft Help 2 runtime (the help system of RAD Studio 2006 to XE2).
//
//   cscript //nologo reghelp.js /register   cvl_install.xml
//   cscript //nologo reghelp.js /unregister cvl_install.xml
//
// The description file names the namespace, the title and the collections to
// plug into. Without the Help 2 runtime the script does nothing: the IDEs of
// that machine do not use Help 2. Exit code 0 on success, 1 on a bad command
// line or description file, 2 when the runtime refused.

var CVL_NS = "urn:brindlecraft-example:cvl-help";

function fail(code, text) {
    WScript.StdErr.WriteLine("reghelp: " + text);
    WScript.Quit(code);
}

function folderOf(path) {
    var i = path.lastIndexOf("\\");
    return i < 0 ? "" : path.substring(0, i + 1);
}

function loadDescription(path) {
    var doc = new ActiveXObject("Msxml2.DOMDocument.3.0");
    doc.async = false;
    doc.setProperty("SelectionLanguage", "XPath");
    doc.setProperty("SelectionNamespaces", "xmlns:c='" + CVL_NS + "'");
    if (!doc.load(path))
        fail(1, path + ": " + doc.parseError.reason);
    return doc;
}

function attr(node, name) {
    var value = node.getAttribute(name);
    if (value === null || value === "")
        fail(1, "attribute " + name + " missing in <" + node.nodeName + ">");
    return value;
}

function runtime() {
    try {
        return {
            registration: new ActiveXObject("HxDs.HxRegistration"),
            filters: new ActiveXObject("HxDs.HxFilters"),
            plugins: new ActiveXObject("HxDs.HxPlugIn")
        };
    } catch (e) {
        return null;  // no Help 2 runtime on this machine
    }
}

function register(doc, folder, hx) {
    var ns = doc.selectSingleNode("/c:HelpRegistration/c:Namespace");
    var name = attr(ns, "name");
    hx.registration.RegisterNamespace(name, folder + attr(ns, "collection"),
                                      attr(ns, "description"));
    var titles = doc.selectNodes("/c:HelpRegistration/c:Title");
    for (var i = 0; i < titles.length; i++) {
        var t = titles[i];
        var index = t.getAttribute("index");
        hx.registration.RegisterHelpFileSet(name, attr(t, "id"),
            parseInt(attr(t, "langId"), 10), folder + attr(t, "file"),
            index ? folder + index : "", "", 0, 0, 0, 0);
    }
    hx.filters.SetNamespace(name);
    var filters = doc.selectNodes("/c:HelpRegistration/c:Filters/c:Filter");
    for (var f = 0; f < filters.length; f++)
        hx.filters.RegisterFilter(attr(filters[f], "name"), attr(filters[f], "query"));
    var plugins = doc.selectNodes("/c:HelpRegistration/c:PlugIns/c:PlugIn");
    for (var p = 0; p < plugins.length; p++) {
        try {
            hx.plugins.RegisterHelpPlugIn(attr(plugins[p], "parent"), "_DEFAULT", name, "_DEFAULT", "", 0);
        } catch (e) {
            // That IDE's collection is not installed here: nothing to plug into.
        }
    }
}

function unregister(doc, hx) {
    var ns = doc.selectSingleNode("/c:HelpRegistration/c:Namespace");
    var name = attr(ns, "name");
    var plugins = doc.selectNodes("/c:HelpRegistration/c:PlugIns/c:PlugIn");
    for (var p = 0; p < plugins.length; p++) {
        try {
            hx.plugins.RemoveHelpPlugIn(attr(plugins[p], "parent"), "_DEFAULT", name, "_DEFAULT", "");
        } catch (e) {
            // Already gone.
        }
    }
    try {
        hx.registration.RemoveNamespace(name);
    } catch (e) {
        // Never registered, or removed by hand: the goal is reached.
    }
}

function main() {
    var args = WScript.Arguments;
    if (args.length != 2 || (args(0) != "/register" && args(0) != "/unregister"))
        fail(1, "usage: reghelp.js /register|/unregister description.xml");
    var hx = runtime();
    if (hx === null)
        WScript.Quit(0);
    var doc = loadDescription(args(1));
    try {
        if (args(0) == "/register")
            register(doc, folderOf(args(1)), hx);
        else
            unregister(doc, hx);
    } catch (e) {
        fail(2, e.description || String(e));
    }
    WScript.Quit(0);
}

main();
